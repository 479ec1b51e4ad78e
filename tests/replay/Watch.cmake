# quelvane --watch: a file that cannot be played is refused with its name and the reason, and the
# game does not start; a recorded game plays in the window to its end, and the game then ends.
#   GAME  quelvane   REPLAY  quelvane-replay   KEYS  the golden keys   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
file(WRITE ${WORK}/text.qvr "hello, world")
foreach(case "missing.qvr:cannot be opened" "text.qvr:not a Quelvane replay")
    string(REPLACE ":" ";" case ${case})
    list(GET case 0 file)
    list(GET case 1 reason)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                ${GAME} --watch ${file}
        WORKING_DIRECTORY ${WORK} TIMEOUT 20
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 1 OR NOT err MATCHES "${file}: ${reason}")
        message(FATAL_ERROR "--watch ${file}: status ${status}, expected 1 and the reason:\n${err}")
    endif()
endforeach()

# The golden keys' second game: 79 frames of play, a score page and Esc.
execute_process(
    COMMAND ${REPLAY} --frames 9300 --seed 20261208 --tick-start 4294960000 --keys ${KEYS}
            --record ${WORK}/replays
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the games could not be recorded (${status}): ${err}")
endif()
execute_process(
    COMMAND xvfb-run -a -f ${WORK}/xauth -s "-screen 0 800x600x24 -noreset"
            ${CMAKE_COMMAND} -E env SDL_AUDIODRIVER=dummy ${GAME} --window --watch replays/last.qvr
    WORKING_DIRECTORY ${WORK} TIMEOUT 60
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "watching the recorded game failed (${status}): ${err}")
endif()
# "Golden", a line end and 211, as the recording run left it.
file(READ ${WORK}/scores.dat table HEX)
if(NOT table STREQUAL "476f6c64656e0d0a323131")
    message(FATAL_ERROR "watching changed the scores file: ${table}")
endif()
