# quelvane_add_child_directories(): adds every folder beside the calling CMakeLists.txt that has a
# CMakeLists.txt of its own, so a new program or test folder needs no edit here.
function(quelvane_add_child_directories)
    file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
    foreach(child ${children})
        if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()
