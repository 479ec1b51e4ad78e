# Runs the same replay twice: the captures must match byte for byte, and the window close of the keys
# file must end the run at its frame.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(run a b)
    execute_process(
        COMMAND ${REPLAY} --frames 400 --seed 99 --tick-start 4294967200 --keys ${KEYS}
                --capture 20:${WORK}/${run}-20.bmp --capture 39:${WORK}/${run}-39.bmp --state
        WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status OUTPUT_VARIABLE state)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "replay ${run} failed (${status})")
    endif()
    set(state_${run} "${state}")
endforeach()
foreach(frame 20 39)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a-${frame}.bmp ${WORK}/b-${frame}.bmp
                    RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "captures of frame ${frame} differ between two identical runs")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a-20.bmp ${WORK}/a-39.bmp
                RESULT_VARIABLE moved)
if(NOT moved)
    message(FATAL_ERROR "frames 20 and 39 are identical: the stars did not move")
endif()
if(NOT state_a STREQUAL state_b OR NOT state_a MATCHES "frames=300\n" OR NOT state_a MATCHES "exit=1")
    message(FATAL_ERROR "unexpected end state:\n${state_a}")
endif()
