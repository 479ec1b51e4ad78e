# The game started with no desktop (over SSH, say) says so in one line and ends at once, rather than
# running unseen in an invisible window; so it does when only SDL's dummy or offscreen video is there.
foreach(driver "" dummy offscreen)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                SDL_VIDEODRIVER=${driver} ${GAME}
        TIMEOUT 10
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(status EQUAL 0 OR NOT status MATCHES "^[0-9]+$")
        message(FATAL_ERROR "with video driver '${driver}' the game did not refuse: ${status}")
    endif()
    string(REGEX MATCHALL "\n" lines "${err}")
    list(LENGTH lines count)
    if(NOT err MATCHES "needs a graphical session" OR NOT count EQUAL 1)
        message(FATAL_ERROR "expected one line about the graphical session, got:\n${err}")
    endif()
endforeach()
