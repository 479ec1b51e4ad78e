# The page's sources, which cmake/Web.cmake builds with Emscripten: every source of the folders it
# shares with the desktop game, less the files only the desktop has, plus the page's own (in the
# web/ folders). The desktop build compiles the page's own files that need no Emscripten
# (tests/web/CMakeLists.txt), so that a change that breaks the page breaks the desktop build too.
# Paths are from the source folder.

# The folders whose sources the page shares: the page records its games and plays replays as the
# desktop does; the verifier (OpenSSL's digests, a game played in a scratch folder) is the
# desktop's and the server's, and the world table's client (libcurl) the desktop's: the page talks
# to its world server itself.
file(GLOB QUELVANE_PAGE_FOLDERS LIST_DIRECTORIES true RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/game/*)
list(FILTER QUELVANE_PAGE_FOLDERS EXCLUDE REGEX "\\.|^game/(online|verify)$")
list(PREPEND QUELVANE_PAGE_FOLDERS platform audio)

# What only the desktop has: its window, which scales its picture in memory, and its display's
# connection (X11, Wayland), the installed game's folders, ALSA's ports and the thread that plays on
# them, FluidSynth, fontconfig, the desktop's entry and its world table's client.
set(QUELVANE_DESKTOP_ONLY
    platform/Window.cpp platform/WholeScaling.cpp platform/WidenedPicture.cpp
    platform/NativeWindow.cpp platform/DisplayLoss.cpp platform/DisplayWait.cpp
    platform/DataFolders.cpp audio/AlsaPort.cpp audio/AlsaPortList.cpp audio/ClockedPlayer.cpp
    audio/SoftSynth.cpp game/gfx/FontFace.cpp game/loop/main.cpp
    game/loop/WorldSenderFeed.cpp)

# The page's own files that need no Emscripten.
set(QUELVANE_PAGE_PORTABLE
    platform/web/ScriptThenPage.cpp game/loop/web/PageOptions.cpp
    audio/web/AlsaPortList.cpp game/gfx/web/FontFace.cpp)
# Those that do (EM_JS, Asyncify's sleeps, SIMD), as few and as small as can be; main.cpp is the
# page's entry.
set(QUELVANE_PAGE_BROWSER
    platform/web/CanvasScreen.cpp platform/web/PageClock.cpp platform/web/PageWait.cpp
    audio/web/PageSynth.cpp game/loop/web/PageReplays.cpp game/loop/web/main.cpp)
# The page's own headers.
file(GLOB QUELVANE_PAGE_HEADERS RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/platform/web/*.h ${CMAKE_SOURCE_DIR}/audio/web/*.h
     ${CMAKE_SOURCE_DIR}/game/*/web/*.h)

# The shared sources, as full paths.
set(QUELVANE_PAGE_SHARED)
foreach(folder ${QUELVANE_PAGE_FOLDERS})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND QUELVANE_PAGE_SHARED ${found})
endforeach()
foreach(file ${QUELVANE_DESKTOP_ONLY})
    list(REMOVE_ITEM QUELVANE_PAGE_SHARED ${CMAKE_SOURCE_DIR}/${file})
endforeach()
