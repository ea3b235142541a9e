# One CTest test per test program, all with the same quiet, headless environment.
set(CHENGXI_TEST_RUNTIME_DIR "${CMAKE_BINARY_DIR}/test-runtime")
file(MAKE_DIRECTORY "${CHENGXI_TEST_RUNTIME_DIR}")
set(CHENGXI_TEST_ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen"
    "XDG_RUNTIME_DIR=${CHENGXI_TEST_RUNTIME_DIR}"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# chengxi_add_test(NAME target [ARGS...]): registers a test program with CTest.
function(chengxi_add_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${CHENGXI_TEST_ENVIRONMENT}")
endfunction()

# chengxi_gtest(target SOURCES... LIBS ...): a GoogleTest program and its CTest entry.
function(chengxi_gtest target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    target_compile_definitions(${target} PRIVATE
        CHENGXI_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    chengxi_add_test(${target} ${target})
endfunction()
