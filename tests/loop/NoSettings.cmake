# Without MidiDevice.ini the game says once that tonspire must be run, draws no frame and ends
# normally, having released everything it made (the sanitizer build checks for leaks).
#   REPLAY  the quelvane-replay program   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
    COMMAND ${REPLAY} --frames 100 --seed 1 --state
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE state ERROR_VARIABLE err)
string(REGEX MATCHALL "Execute tonspire and run the program again\\." said "${err}")
list(LENGTH said times)
if(NOT status EQUAL 0 OR NOT times EQUAL 1 OR NOT state MATCHES "(^|\n)frames=0\n"
   OR NOT state MATCHES "\nexit=1\n")
    message(FATAL_ERROR "unexpected start without settings (${status}, said ${times} times):\n"
                        "${state}${err}")
endif()
file(GLOB left ${WORK}/*)
if(left)
    message(FATAL_ERROR "the game wrote files without its settings: ${left}")
endif()
