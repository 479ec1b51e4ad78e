# quelvane-replay refuses a capture of a frame past the last one it is asked to run, before it
# runs, and fails when the game ends before a capture's frame; the captures it reached are kept.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# The game ends at once without its settings file; with one it waits on its title screen.
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")

execute_process(
    COMMAND ${REPLAY} --frames 10 --seed 1 --capture 3:${WORK}/a.bmp --capture 10:${WORK}/b.bmp
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 2 OR NOT err MATCHES "--capture 10:.*b.bmp is past the last frame, 9")
    message(FATAL_ERROR "a capture past the last frame was not refused (${status}):\n${err}")
endif()
if(EXISTS ${WORK}/a.bmp)
    message(FATAL_ERROR "the refused run still ran")
endif()

file(WRITE ${WORK}/keys.txt "4 close\n")
execute_process(
    COMMAND ${REPLAY} --frames 10 --seed 1 --keys ${WORK}/keys.txt --capture 2:${WORK}/a.bmp
            --capture 8:${WORK}/b.bmp
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 1 OR NOT err MATCHES "the game ended after frame 4, before frame 8")
    message(FATAL_ERROR "a capture the run never reached passed unnoticed (${status}):\n${err}")
endif()
if(NOT EXISTS ${WORK}/a.bmp OR EXISTS ${WORK}/b.bmp)
    message(FATAL_ERROR "the capture of frame 2 should be written, and only it")
endif()
