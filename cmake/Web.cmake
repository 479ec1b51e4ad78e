# The game for a browser, configured with emcmake (scripts/web/build.sh, `make web`): the
# desktop game's sources but the desktop's own, and the page's own, as cmake/PageSources.cmake
# lists them, built by Emscripten against the SDL2 and FreeType that scripts/web/build-deps.sh
# builds from Debian's sources.
#
#   QUELVANE_WEB_ASSETS  the native build's run folder, with the generated assets
#   QUELVANE_WEB_NODE    a node_modules folder holding js-synthesizer (web/package.json)
#   QUELVANE_WEB_OUT     where the page goes (index.html, quelvane.js, .wasm, .data, ...)
set(QUELVANE_WEB_ASSETS "" CACHE PATH "The native build's run folder, with the generated assets")
set(QUELVANE_WEB_NODE "" CACHE PATH "node_modules with web/package.json's packages")
set(QUELVANE_WEB_OUT ${CMAKE_BINARY_DIR}/page CACHE PATH "Where the page is put together")
set(QUELVANE_WEB_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2 CACHE FILEPATH
    "The General MIDI SoundFont the page's synthesizer plays (Debian's timgm6mb-soundfont)")
set(QUELVANE_WEB_FONTS /usr/share/fonts/truetype/liberation2 CACHE PATH
    "Liberation Mono's folder (Debian's fonts-liberation2), the face the desktop's fontconfig picks")

find_package(SDL2 CONFIG REQUIRED)
find_package(freetype CONFIG REQUIRED)
# The replays' compression, built with the deps.
find_package(ZLIB REQUIRED)

include(${CMAKE_SOURCE_DIR}/cmake/PageSources.cmake)
list(TRANSFORM QUELVANE_PAGE_PORTABLE PREPEND ${CMAKE_SOURCE_DIR}/)
list(TRANSFORM QUELVANE_PAGE_BROWSER PREPEND ${CMAKE_SOURCE_DIR}/)

# The game's code shared by the page and the node replay tool, compiled once for both; the page's
# entry, its games and replays and its fonts' places are its own.
set(page_only ${CMAKE_SOURCE_DIR}/game/loop/web/main.cpp ${CMAKE_SOURCE_DIR}/game/loop/web/PageReplays.cpp
    ${CMAKE_SOURCE_DIR}/game/gfx/web/FontFace.cpp)
set(shared_sources ${QUELVANE_PAGE_SHARED} ${QUELVANE_PAGE_PORTABLE} ${QUELVANE_PAGE_BROWSER})
list(REMOVE_ITEM shared_sources ${page_only})
add_library(quelvane-web-game OBJECT ${shared_sources})
target_link_libraries(quelvane-web-game PUBLIC SDL2::SDL2-static freetype ZLIB::ZLIB)
target_compile_options(quelvane-web-game PUBLIC -O2)
# A replay names the rules it was played by, as on the desktop (game/CMakeLists.txt).
include(${CMAKE_SOURCE_DIR}/cmake/RulesVersion.cmake)
set_source_files_properties(${CMAKE_SOURCE_DIR}/game/replay/RulesVersion.cpp PROPERTIES
    COMPILE_DEFINITIONS QUELVANE_RULES_VERSION=0x${QUELVANE_RULES_VERSION}ull)

add_executable(quelvane-web ${page_only})
target_link_libraries(quelvane-web PRIVATE quelvane-web-game)
# The game's own atan, sin and cos, operation for operation as on the desktop (game/CMakeLists.txt).
set_source_files_properties(${CMAKE_SOURCE_DIR}/game/core/PortableMath.cpp PROPERTIES
    COMPILE_OPTIONS -ffp-contract=off)
# The picture's copy to the canvas uses SIMD (every current browser has it).
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/web/CanvasScreen.cpp PROPERTIES
    COMPILE_OPTIONS -msimd128)

foreach(asset_type bmp wav mid)
    file(GLOB found ${QUELVANE_WEB_ASSETS}/*.${asset_type})
    list(APPEND assets ${found})
endforeach()
if(NOT assets)
    message(FATAL_ERROR "no assets in QUELVANE_WEB_ASSETS (${QUELVANE_WEB_ASSETS}): build the "
                        "native `assets` target first")
endif()
set(packed)
foreach(asset ${assets})
    get_filename_component(name ${asset} NAME)
    list(APPEND packed "SHELL:--preload-file ${asset}@/assets/${name}")
endforeach()
foreach(face LiberationMono-Bold.ttf LiberationMono-Regular.ttf)
    list(APPEND packed "SHELL:--preload-file ${QUELVANE_WEB_FONTS}/${face}@/fonts/${face}")
    list(APPEND assets ${QUELVANE_WEB_FONTS}/${face})
endforeach()

# ASYNCIFY: every loop of the game waits in its pass's sleep, which hands the browser its turn.
# Its stack holds the game's deepest chain (the game over screen runs inside a frame of play).
# IDBFS keeps the player's files (web/pre.js). SDL's own link options come with SDL2-static.
target_link_options(quelvane-web PRIVATE
    -O2 -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=33554432
    -sEXPORTED_RUNTIME_METHODS=[UTF8ToString,allocateUTF8,FS]
    -sEXPORTED_FUNCTIONS=[_main,_malloc,_free] -lidbfs.js
    "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/pre.js" ${packed})
set_target_properties(quelvane-web PROPERTIES
    OUTPUT_NAME quelvane SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${QUELVANE_WEB_OUT}
    LINK_DEPENDS "${CMAKE_SOURCE_DIR}/web/pre.js;${assets}")

# The page around it: its HTML and scripts, the page's synthesizer (js-synthesizer and its
# FluidSynth build, from npm) and the SoundFont, which the page fetches itself after the game
# has started.
set(page_files index.html quelvane-page.js quelvane-music.js quelvane-world.js)
set(synth_files
    ${QUELVANE_WEB_NODE}/js-synthesizer/dist/js-synthesizer.min.js
    ${QUELVANE_WEB_NODE}/js-synthesizer/dist/js-synthesizer.worklet.min.js
    ${QUELVANE_WEB_NODE}/js-synthesizer/externals/libfluidsynth-2.3.0.js)
set(copied)
foreach(file ${page_files})
    add_custom_command(OUTPUT ${QUELVANE_WEB_OUT}/${file}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/web/${file} ${QUELVANE_WEB_OUT}/${file}
        DEPENDS ${CMAKE_SOURCE_DIR}/web/${file} VERBATIM)
    list(APPEND copied ${QUELVANE_WEB_OUT}/${file})
endforeach()
foreach(file ${synth_files} ${QUELVANE_WEB_SOUNDFONT})
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${QUELVANE_WEB_OUT}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${QUELVANE_WEB_OUT}/${name}
        DEPENDS ${file} VERBATIM)
    list(APPEND copied ${QUELVANE_WEB_OUT}/${name})
endforeach()
add_custom_target(page ALL DEPENDS ${copied})

# quelvane-replay built as the page is, for node, with the browser tests that use it.
include(${CMAKE_SOURCE_DIR}/tests/web/libm/NodeReplay.cmake)
