# The rules version: the golden replay's record of how the game plays, which every change of play
# rewrites in its own commit. A replay recorded under other rules is refused, not misplayed. Only
# what play does feeds it, the end state and the trace line of frames.txt, not the pictures' hashes:
# a new font or text that leaves every traced frame the same keeps the version, and the world
# table with it.
# Sets QUELVANE_RULES_VERSION to the 16 hex digits both the desktop and the browser builds use.
# QUELVANE_GOLDEN names another golden folder, for a test of this file (cmake -P).
if(NOT QUELVANE_GOLDEN)
    set(QUELVANE_GOLDEN ${CMAKE_SOURCE_DIR}/tests/loop/golden)
endif()
file(READ ${QUELVANE_GOLDEN}/state.txt golden_state)
file(STRINGS ${QUELVANE_GOLDEN}/frames.txt golden_trace REGEX "^trace ")
string(SHA256 QUELVANE_RULES_VERSION "${golden_state}${golden_trace}")
string(SUBSTRING ${QUELVANE_RULES_VERSION} 0 16 QUELVANE_RULES_VERSION)
if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QUELVANE_GOLDEN}/state.txt
                 ${QUELVANE_GOLDEN}/frames.txt)
endif()
unset(golden_state)
unset(golden_trace)
