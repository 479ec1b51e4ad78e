# The golden replay: a fixed seed and keys must give exactly the recorded end state and pictures. A
# change of behaviour shows up here as a changed file; run scripts/update-golden.sh in the same
# commit as the change, and say in its message why the game now plays differently.
#   REPLAY  the quelvane-replay program     GOLDEN  the folder with keys.txt, state.txt, frames.txt
#   WORK    a scratch folder (the captures and the trace stay there for review)
#   UPDATE  ON to rewrite the files
# The captures: the title, flying the eight ways while firing, the first alien's explosion, the
# cover fire with an alien's explosion, the ship's own explosion, the game over screen, the name
# prompt, the three help pages and the score table.
set(frames 10 225 3275 8890 9035 9080 9105 9140 9150 9160 9240)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# The game's own files, in the working folder: a settings file, and no score table yet.
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
set(captures)
foreach(frame ${frames})
    list(APPEND captures --capture ${frame}:${WORK}/frame-${frame}.bmp)
endforeach()
execute_process(
    COMMAND ${REPLAY} --frames 20000 --seed 20261208 --tick-start 4294960000 --keys ${GOLDEN}/keys.txt
            ${captures} --state --trace ${WORK}/trace.tsv
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE state)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the replay failed (${status})")
endif()
# Whatever the recorded files say, the run is a whole game: every screen was shown, the name typed
# at its end was saved, and Esc in the next game ended the run.
file(READ ${WORK}/trace.tsv trace)
foreach(screen title play gameover name help scores)
    if(NOT trace MATCHES "\t${screen}\n")
        message(FATAL_ERROR "the run never showed the ${screen} screen")
    endif()
endforeach()
# In hexadecimal: "Golden", carriage return and line feed, then digits and no line end.
file(READ ${WORK}/scores.dat table HEX)
if(NOT state MATCHES "(^|\n)exit=1\n" OR NOT table MATCHES "^476f6c64656e0d0a(3[0-9])+$")
    message(FATAL_ERROR "the run did not end as a whole game:\n${state}\nscores.dat: ${table}")
endif()

# Every frame's state is in the trace, so a rule that changes anything on the way changes its sum.
file(SHA256 ${WORK}/trace.tsv sum)
set(sums "trace ${sum}\n")
foreach(frame ${frames})
    file(SHA256 ${WORK}/frame-${frame}.bmp sum)
    string(APPEND sums "${frame} ${sum}\n")
endforeach()

if(UPDATE)
    file(WRITE ${GOLDEN}/state.txt "${state}")
    file(WRITE ${GOLDEN}/frames.txt "${sums}")
    message(STATUS "golden replay rewritten in ${GOLDEN}")
    return()
endif()
file(READ ${GOLDEN}/state.txt expected_state)
file(READ ${GOLDEN}/frames.txt expected_sums)
if(NOT state STREQUAL expected_state)
    message(FATAL_ERROR "the end state differs from the golden one.\nExpected:\n${expected_state}\n"
                        "Got:\n${state}")
endif()
if(NOT sums STREQUAL expected_sums)
    message(FATAL_ERROR "captured pictures differ from the golden ones (see ${WORK}).\n"
                        "Expected:\n${expected_sums}\nGot:\n${sums}")
endif()
