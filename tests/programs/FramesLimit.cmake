# quelvane-replay --frames N runs exactly N passes, wherever the limit falls: in play, or inside a
# screen that a frame of play opened (game over, the name prompt, the title after them, the help
# pages over that title, the table page over play). The trace has N rows, and --state prints the
# last of them.
#   REPLAY  the program   KEYS  the golden replay's keys   WORK  a scratch folder
# The golden keys' run: play ends at 9055, then game over, name, title, help, title, play, scores.
foreach(case "9050 play" "9060 gameover" "9100 name" "9120 title" "9150 help" "9240 scores")
    separate_arguments(case)
    list(GET case 0 frames)
    list(GET case 1 screen)
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK})
    file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
    execute_process(
        COMMAND ${REPLAY} --frames ${frames} --seed 20261208 --tick-start 4294960000 --keys ${KEYS}
                --state --trace ${WORK}/trace.tsv
        WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE status OUTPUT_VARIABLE state)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "--frames ${frames}: the replay failed (${status})")
    endif()
    file(STRINGS ${WORK}/trace.tsv rows)
    list(LENGTH rows count)
    math(EXPR expected "${frames} + 1")
    list(GET rows 0 names)
    list(GET rows -1 last)
    if(NOT count EQUAL expected OR NOT last MATCHES "^${frames}\t.*\t${screen}$")
        message(FATAL_ERROR "--frames ${frames}: ${count} lines of trace (a header and the rows), "
                            "${expected} expected, ending in the ${screen} screen; the last:\n${last}")
    endif()
    # The state printed is the last row, name by name.
    string(REPLACE "\t" ";" names "${names}")
    string(REPLACE "\t" ";" values "${last}")
    set(expected_state "")
    foreach(name value IN ZIP_LISTS names values)
        string(APPEND expected_state "${name}=${value}\n")
    endforeach()
    if(NOT state STREQUAL expected_state)
        message(FATAL_ERROR "--frames ${frames}: --state is not the last row of the trace:\n"
                            "${state}\nthe last row:\n${expected_state}")
    endif()
endforeach()
