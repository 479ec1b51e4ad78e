# Without world.ini the game opens no network socket; with one, and a game waiting in its outbox,
# it sends that game at once, which shows the trace would see a socket if there were one.
#   GAME  quelvane   WORK  a scratch folder
foreach(world "" "server = http://127.0.0.1:9")
    file(REMOVE_RECURSE ${WORK})
    file(MAKE_DIRECTORY ${WORK}/replays/outbox)
    file(WRITE ${WORK}/MidiDevice.ini "Software Synthesizer")
    file(WRITE ${WORK}/replays/outbox/000001.qvr "a game")
    if(world)
        file(WRITE ${WORK}/world.ini "${world}\n")
    endif()
    execute_process(
        COMMAND xvfb-run -a -f ${WORK}/xauth -s "-screen 0 800x600x24 -noreset"
                ${CMAKE_COMMAND} -E env SDL_AUDIODRIVER=dummy
                strace -f -qq -e trace=socket -o ${WORK}/trace timeout 6 ${GAME} --window
        WORKING_DIRECTORY ${WORK} TIMEOUT 60
        RESULT_VARIABLE status ERROR_VARIABLE err)
    file(READ ${WORK}/trace trace)
    string(REGEX MATCHALL "socket\\(AF_INET6?," inet "${trace}")
    if(NOT trace MATCHES "socket\\(AF_UNIX")
        message(FATAL_ERROR "the game did not reach its window (${status}): ${err}\n${trace}")
    elseif(world AND NOT inet)
        message(FATAL_ERROR "with world.ini the game did not send its outbox:\n${trace}")
    elseif(NOT world AND inet)
        message(FATAL_ERROR "without world.ini the game opened a network socket:\n${trace}")
    endif()
endforeach()
