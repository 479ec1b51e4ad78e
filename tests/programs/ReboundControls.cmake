# A controls.ini that moves Attack to Space and the LimitBreak to B: the golden keys with those keys
# in their places play to the same trace, every column, as the golden keys with the default
# controls. The name typed at the game's end keeps its own keys (the name prompt types what the
# keys say, whatever they are bound to), and the help pages, which any key turns, are turned with
# Tab, so that no Space is left held when the title screen asks for Attack.
#   REPLAY  quelvane-replay   KEYS  the golden keys   WORK  a scratch folder
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/rebound)
file(STRINGS ${KEYS} lines)
set(rebound_keys "")
foreach(line ${lines})
    if(line MATCHES "^(25|26|9096|9097|9200|9201) (down|up) G$")
        string(REGEX REPLACE "G$" "Space" line "${line}")
    elseif(line MATCHES "^[0-9]+ (down|up) Ctrl$")
        string(REGEX REPLACE "Ctrl$" "Space" line "${line}")
    elseif(line MATCHES "^[0-9]+ (down|up) J$")
        string(REGEX REPLACE "J$" "B" line "${line}")
    elseif(line MATCHES "^(9145|9155|9165) down Space$")
        string(REGEX REPLACE "Space$" "Tab" line "${line}")
    endif()
    string(APPEND rebound_keys "${line}\n")
endforeach()
if(NOT rebound_keys MATCHES "25 down Space\n" OR NOT rebound_keys MATCHES "down B\n" OR
   NOT rebound_keys MATCHES "9145 down Tab\n")
    message(FATAL_ERROR "the golden keys are no longer the ones this test rebinds; update it")
endif()
file(WRITE ${WORK}/rebound/keys.txt "${rebound_keys}")
file(WRITE ${WORK}/rebound/controls.ini "# Attack and LimitBreak elsewhere\nattack = Space\nlimitbreak = B\n")
# The golden keys with the default controls give the golden trace, whose checksum the golden replay
# keeps: the rebound keys with the rebound controls must give it too.
file(WRITE ${WORK}/rebound/MidiDevice.ini "Software Synthesizer")
execute_process(
    COMMAND ${REPLAY} --frames 20000 --seed 20261208 --tick-start 4294960000
            --keys ${WORK}/rebound/keys.txt --trace ${WORK}/rebound/trace.tsv
    WORKING_DIRECTORY ${WORK}/rebound RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR err MATCHES "quelvane-replay:")
    message(FATAL_ERROR "the rebound run failed (${status}): ${err}")
endif()
get_filename_component(golden ${KEYS} DIRECTORY)
file(STRINGS ${golden}/frames.txt golden_trace REGEX "^trace ")
string(REPLACE "trace " "" golden_sum "${golden_trace}")
file(SHA256 ${WORK}/rebound/trace.tsv rebound_sum)
if(NOT rebound_sum STREQUAL golden_sum)
    message(FATAL_ERROR "the rebound keys played another game than the golden one: compare "
                        "${WORK}/rebound/trace.tsv with the golden replay's trace")
endif()
