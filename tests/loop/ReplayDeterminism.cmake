# Runs the same replay twice: the traces and captures must match byte for byte, the picture must
# change, and a window close in the keys file must end the run with the frame it arrives in.
#   REPLAY  the quelvane-replay program   KEYS  a keys file   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
file(READ ${KEYS} keys)
file(WRITE ${WORK}/keys.txt "${keys}1200 close\n")
foreach(run a b)
    execute_process(
        COMMAND ${REPLAY} --frames 2000 --seed 99 --tick-start 4294967200 --keys ${WORK}/keys.txt
                --capture 20:${WORK}/${run}-20.bmp --capture 600:${WORK}/${run}-600.bmp --state
                --trace ${WORK}/${run}-trace.tsv
        WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status OUTPUT_VARIABLE state)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "replay ${run} failed (${status})")
    endif()
    set(state_${run} "${state}")
endforeach()
foreach(file 20.bmp 600.bmp trace.tsv)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a-${file} ${WORK}/b-${file}
                    RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "${file} differs between two identical runs")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a-20.bmp ${WORK}/a-600.bmp
                RESULT_VARIABLE moved)
if(NOT moved)
    message(FATAL_ERROR "frames 20 and 600 are identical: nothing moved")
endif()
file(STRINGS ${WORK}/a-trace.tsv rows)
list(LENGTH rows count)
if(NOT state_a STREQUAL state_b OR NOT state_a MATCHES "frames=1201\n" OR NOT state_a MATCHES "exit=1"
   OR NOT count EQUAL 1202)
    message(FATAL_ERROR "unexpected end state (${count} trace rows):\n${state_a}")
endif()
