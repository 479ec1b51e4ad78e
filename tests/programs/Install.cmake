# BUILD: the build folder; RUN: its run folder (the assets); WORK: a scratch folder.
file(REMOVE_RECURSE ${WORK})
set(root ${WORK}/root)
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${root}
                        ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the installation failed:\n${err}")
endif()

file(GLOB assets RELATIVE ${RUN} ${RUN}/*.bmp ${RUN}/*.wav ${RUN}/*.mid)
set(expected usr/bin/quelvane usr/bin/tonspire usr/bin/quelvane-world
    usr/lib/systemd/system/quelvane-world.service
    usr/share/applications/quelvane.desktop usr/share/applications/tonspire.desktop
    usr/share/icons/hicolor/32x32/apps/quelvane.png usr/share/icons/hicolor/128x128/apps/quelvane.png)
foreach(asset ${assets})
    list(APPEND expected usr/share/quelvane/${asset})
endforeach()
file(GLOB_RECURSE installed RELATIVE ${root} LIST_DIRECTORIES false ${root}/*)
list(SORT expected)
list(SORT installed)
if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed:\n${installed}\nexpected:\n${expected}")
endif()
# The world server's unit starts the program where this installation put it.
file(STRINGS ${root}/usr/lib/systemd/system/quelvane-world.service start REGEX "^ExecStart=")
if(NOT start MATCHES "^ExecStart=/usr/bin/quelvane-world ")
    message(FATAL_ERROR "the world server's unit starts '${start}'")
endif()
list(LENGTH assets count)
if(count LESS 20)
    message(FATAL_ERROR "only ${count} assets in ${RUN}")
endif()

# The icons are PNG files of their sizes, as an image library reads them.
foreach(side 32 128)
    execute_process(
        COMMAND identify -format "%m %w %h"
                ${root}/usr/share/icons/hicolor/${side}x${side}/apps/quelvane.png
        RESULT_VARIABLE status OUTPUT_VARIABLE format ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT format STREQUAL "PNG ${side} ${side}")
        message(FATAL_ERROR "the ${side} x ${side} icon reads as '${format}' (${status}): ${err}")
    endif()
endforeach()

# The installed game from an empty folder, in a desktop of its own, once with XDG_DATA_HOME unset
# and once set, with a MIDI device chosen (tonspire's file in the user's data folder). It waits on
# its title screen until the timeout ends it; ending sooner means it failed to start. The sound
# system's client keeps its own files in the cache and configuration folders, set apart here.
# xvfb-run is given its authority file, so that it makes and removes no temporary folder of its own
# (its clean-up failed now and then while other tests ran).
function(start_installed_game home xdg user)
    file(MAKE_DIRECTORY ${WORK}/somewhere ${home})
    file(WRITE ${user}/MidiDevice.ini "Software Synthesizer")
    if(xdg)
        set(xdg_setting XDG_DATA_HOME=${xdg})
    else()
        set(xdg_setting --unset=XDG_DATA_HOME)
    endif()
    execute_process(
        COMMAND xvfb-run -a -f ${home}.xauth -s "-screen 0 1280x1024x24"
                ${CMAKE_COMMAND} -E env HOME=${home} ${xdg_setting} XDG_CACHE_HOME=${WORK}/cache
                XDG_CONFIG_HOME=${WORK}/config
                timeout 3 ${root}/usr/bin/quelvane --window
        WORKING_DIRECTORY ${WORK}/somewhere
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 124)
        message(FATAL_ERROR "the installed game ended by itself (${status}):\n${out}${err}")
    endif()
    file(GLOB left ${WORK}/somewhere/*)
    if(left)
        message(FATAL_ERROR "the game wrote in its working folder: ${left}")
    endif()
endfunction()

function(check_user_folder user top)
    foreach(asset ${assets})
        if(NOT IS_SYMLINK ${user}/${asset})
            message(FATAL_ERROR "${asset} is not linked in ${user}")
        endif()
        file(READ_SYMLINK ${user}/${asset} target)
        if(NOT target STREQUAL "${root}/usr/share/quelvane/${asset}")
            message(FATAL_ERROR "${user}/${asset} points to ${target}")
        endif()
    endforeach()
    file(GLOB_RECURSE written LIST_DIRECTORIES false ${top}/*)
    foreach(file ${written})
        string(FIND "${file}" "${user}/" at)
        if(NOT at EQUAL 0)
            message(FATAL_ERROR "the game wrote ${file}, outside ${user}")
        endif()
    endforeach()
endfunction()

start_installed_game(${WORK}/home "" ${WORK}/home/.local/share/quelvane)
check_user_folder(${WORK}/home/.local/share/quelvane ${WORK}/home)
start_installed_game(${WORK}/home2 ${WORK}/xdg ${WORK}/xdg/quelvane)
check_user_folder(${WORK}/xdg/quelvane ${WORK}/xdg)
file(GLOB home_files ${WORK}/home2/*)
if(home_files)
    message(FATAL_ERROR "with XDG_DATA_HOME set the game wrote in the home folder: ${home_files}")
endif()
