# The golden keys' run, recorded as the game records its games: both games it plays verify, and the
# first, played back, gives the rows the keys run gave from its first frame of play on, every column
# but the frame count the same.
#   REPLAY  quelvane-replay   KEYS  the golden keys   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
execute_process(
    COMMAND ${REPLAY} --frames 20000 --seed 20261208 --tick-start 4294960000 --keys ${KEYS}
            --record ${WORK}/replays --trace ${WORK}/keys.tsv
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the keys run failed (${status}): ${err}")
endif()
file(GLOB kept ${WORK}/replays/2*.qvr)
list(LENGTH kept count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "one game entered the table, ${count} replays were kept")
endif()
foreach(game ${kept} ${WORK}/replays/last.qvr)
    execute_process(COMMAND ${REPLAY} --verify ${game} RESULT_VARIABLE status
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${game} does not verify (${status}):\n${out}${err}")
    endif()
endforeach()
execute_process(COMMAND ${REPLAY} --play ${kept} --trace ${WORK}/played.tsv RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "playing ${kept} back failed (${status}): ${err}")
endif()
# The keys run's first 26 frames are its title screen, before the game the recording holds. The
# first column of every row, the frame count, goes before the two are held side by side.
file(READ ${WORK}/keys.tsv keys)
file(READ ${WORK}/played.tsv played)
# Drops `count` lines from the front of the text in `var`.
function(drop_lines var count)
    set(text "${${var}}")
    foreach(line RANGE 1 ${count})
        string(FIND "${text}" "\n" line_end)
        math(EXPR line_end "${line_end} + 1")
        string(SUBSTRING "${text}" ${line_end} -1 text)
    endforeach()
    set(${var} "${text}" PARENT_SCOPE)
endfunction()
drop_lines(keys 27)
drop_lines(played 1)
string(REGEX REPLACE "\n[0-9]+\t" "\n" keys "\n${keys}")
string(REGEX REPLACE "\n[0-9]+\t" "\n" played "\n${played}")
# The recording holds the whole game, to its name prompt: a playback that stopped short would
# otherwise pass as the front of the keys run.
if(NOT played MATCHES "\tname\n$")
    message(FATAL_ERROR "the played game does not reach its name prompt (see ${WORK})")
endif()
string(LENGTH "${played}" length)
string(SUBSTRING "${keys}" 0 ${length} keys)
if(NOT played STREQUAL keys)
    message(FATAL_ERROR "the played game's rows differ from the keys run's (see ${WORK})")
endif()

# A keys run cut by --frames while the score table opened from play (F2 at frame 9230) is shown: the
# frame the table interrupted still ends as the game unwinds, but the recording ends with the cut,
# and played back it stops where the keys run stopped, in the same state.
file(REMOVE_RECURSE ${WORK}/cut)
execute_process(
    COMMAND ${REPLAY} --frames 9240 --seed 20261208 --tick-start 4294960000 --keys ${KEYS}
            --record ${WORK}/cut --trace ${WORK}/cut-keys.tsv
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE err)
execute_process(COMMAND ${REPLAY} --play ${WORK}/cut/last.qvr --trace ${WORK}/cut-played.tsv
                RESULT_VARIABLE played_status ERROR_VARIABLE played_err)
if(NOT status EQUAL 0 OR NOT played_status EQUAL 0)
    message(FATAL_ERROR "the cut run or its playback failed (${status}, ${played_status}): "
                        "${err}${played_err}")
endif()
# The rows of a trace file, each without its frame count.
function(rows_without_frames file out)
    file(STRINGS ${file} rows)
    set(result)
    foreach(row ${rows})
        string(FIND "${row}" "\t" first_tab)
        string(SUBSTRING "${row}" ${first_tab} -1 row)
        list(APPEND result "${row}")
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()
rows_without_frames(${WORK}/cut-keys.tsv keys_rows)
rows_without_frames(${WORK}/cut-played.tsv played_rows)
list(REMOVE_AT played_rows 0)
list(LENGTH played_rows count)
list(LENGTH keys_rows total)
math(EXPR first "${total} - ${count}")
list(SUBLIST keys_rows ${first} ${count} keys_tail)
list(GET played_rows -1 last)
if(NOT played_rows STREQUAL keys_tail OR NOT last MATCHES "\tscores$")
    message(FATAL_ERROR "the cut game's ${count} rows are not the keys run's from its game's start")
endif()
