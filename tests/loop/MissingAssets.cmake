# An asset that cannot be loaded is named at start-up in one line on standard error, with why, and
# the game goes on without it.
#   REPLAY  the quelvane-replay program   RUN  the generated assets   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB assets ${RUN}/*.bmp ${RUN}/*.wav ${RUN}/*.mid)
file(COPY ${assets} DESTINATION ${WORK})
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
file(REMOVE ${WORK}/alien.bmp ${WORK}/title.mid)
file(WRITE ${WORK}/upg_m.bmp "a PNG renamed")
file(WRITE ${WORK}/explosion.wav "RIFF")
execute_process(
    COMMAND ${REPLAY} --frames 30 --seed 1 --state
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE state ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT state MATCHES "(^|\n)frames=30\n")
    message(FATAL_ERROR "the game did not go on without its assets (${status}):\n${state}${err}")
endif()
set(expected
    "quelvane: cannot load title.mid: no such file"
    "quelvane: cannot load alien.bmp: no such file"
    "quelvane: cannot load explosion.wav: not a WAV file (shorter than a RIFF header)"
    "quelvane: cannot load upg_m.bmp: not a BMP (it does not start with BM)")
# The game's own lines: the sanitizer build adds its report of suppressed leaks.
string(REPLACE "\n" ";" lines "${err}")
list(FILTER lines INCLUDE REGEX "^quelvane")
list(SORT lines)
list(SORT expected)
if(NOT lines STREQUAL expected)
    message(FATAL_ERROR "expected one line for each asset that cannot be loaded, got:\n${err}")
endif()
