# The build of the two lowest layers alone, with their unit tests: what the
# cross build of the Windows twins needs (tools/windows.sh), and the same
# build on Linux, whose code page 936 dump is the reference the twin must match.

# GoogleTest (GTest::gtest, GTest::gtest_main) from Debian's own sources, so
# nothing is downloaded; its warnings are not ours to fail on.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)

enable_testing()
include(cmake/ChengxiTesting.cmake)
add_subdirectory(src/platform)
add_subdirectory(src/text)
add_subdirectory(tests/text)
add_subdirectory(tests/platform)

add_executable(chengxi_cp936_dump tests/text/cp936_dump.cpp)
target_link_libraries(chengxi_cp936_dump PRIVATE chengxi_text)
set(CHENGXI_CP936_REFERENCE "" CACHE FILEPATH "The dump of the iconv build to compare against")
if(CHENGXI_CP936_REFERENCE)
    chengxi_add_test(chengxi_cp936_twin chengxi_cp936_dump compare "${CHENGXI_CP936_REFERENCE}")
endif()
