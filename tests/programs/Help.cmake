# Each of PROGRAMS run with --help prints its usage on standard output, nothing on standard error,
# and succeeds; no window, sound or file is needed for that.
foreach(program ${PROGRAMS})
    get_filename_component(name ${program} NAME)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ${program} --help
        TIMEOUT 20
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${name} --help ended with ${status}:\n${err}")
    endif()
    string(TOLOWER "${out}" lower)
    if(NOT lower MATCHES "^usage: ${name}")
        message(FATAL_ERROR "${name} --help printed no usage:\n${out}")
    endif()
    if(NOT err STREQUAL "")
        message(FATAL_ERROR "${name} --help wrote on standard error:\n${err}")
    endif()
endforeach()
