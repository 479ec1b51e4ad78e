# The rules version: the golden replay's record of how the game plays, which every change of play
# rewrites in its own commit. A replay recorded under other rules is refused, not misplayed.
# Sets QUELVANE_RULES_VERSION to the 16 hex digits both the desktop and the browser builds use.
set(golden ${CMAKE_SOURCE_DIR}/tests/loop/golden)
file(READ ${golden}/state.txt golden_state)
file(READ ${golden}/frames.txt golden_frames)
string(SHA256 QUELVANE_RULES_VERSION "${golden_state}${golden_frames}")
string(SUBSTRING ${QUELVANE_RULES_VERSION} 0 16 QUELVANE_RULES_VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${golden}/state.txt
             ${golden}/frames.txt)
unset(golden_state)
unset(golden_frames)
unset(golden)
