# quelvane-replay built as the page is, for node (in node's working folder), by cmake/Web.cmake:
# the game's code of the browser build run headless, so that tests/web/libm-check.sh can hold it
# against the desktop's replay call for call (LibmLog.cpp logs every atan, sin and cos). The fonts
# are the machine's own (NodeFontFace.cpp, node-pre.js).
file(GLOB replay_tool CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/replay/*.cpp)
# Its --verify is the desktop's alone.
list(REMOVE_ITEM replay_tool ${CMAKE_SOURCE_DIR}/tools/replay/VerifyFile.cpp)
include(${CMAKE_CURRENT_LIST_DIR}/Wrap.cmake)
add_executable(quelvane-replay-node EXCLUDE_FROM_ALL ${replay_tool}
    ${CMAKE_CURRENT_LIST_DIR}/LibmLog.cpp ${CMAKE_CURRENT_LIST_DIR}/NodeFontFace.cpp
    ${CMAKE_CURRENT_LIST_DIR}/NoVerify.cpp)
target_link_libraries(quelvane-replay-node PRIVATE quelvane-web-game)
target_link_options(quelvane-replay-node PRIVATE
    -O2 -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -lnodefs.js
    "SHELL:--pre-js ${CMAKE_CURRENT_LIST_DIR}/node-pre.js"
    ${QUELVANE_LIBM_WRAP})
set_target_properties(quelvane-replay-node PROPERTIES SUFFIX ".js"
    LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/node-pre.js)
