# quelvane_add_test(NAME SOURCES... LIBS ...): a GoogleTest program run by CTest. Its main
# (tests/TestMain.cpp) makes it headless, with SDL's dummy drivers, and gives the sanitizers the
# project's leak suppressions. Tests that touch files make a temporary directory of their own.
function(quelvane_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        QUELVANE_RUN_DIR="${QUELVANE_RUN_DIR}" QUELVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    # Compiled a few files at a time: GoogleTest's headers cost more than most tests, and `make test`
    # builds every test twice. Helpers in a test file's anonymous namespace need names of their own.
    set_target_properties(${name} PROPERTIES UNITY_BUILD ${QUELVANE_UNITY_TESTS})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()

# quelvane_add_fuzzer(NAME SOURCE LIB): a libFuzzer target of one reader, built only by
# scripts/fuzz.sh (clang, QUELVANE_FUZZ, a build folder of its own) into its fuzz/ folder.
function(quelvane_add_fuzzer name source lib)
    if(NOT QUELVANE_FUZZ)
        return()
    endif()
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE ${lib})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
