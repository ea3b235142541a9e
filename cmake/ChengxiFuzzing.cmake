# Fuzz targets. Each source defines LLVMFuzzerTestOneInput and aborts when a
# check fails. With CHENGXI_FUZZ and clang it becomes a libFuzzer program,
# chengxi_<name>_fuzz (tools/fuzz.sh builds and runs those); in the other
# builds it becomes chengxi_<name>_replay, which runs every input kept under
# tests/data/fuzz/<name> (seeds, corpus, crashers) and in the INPUTS folders
# as a CTest test, so a fault the fuzzer once found stays fixed.
set(CHENGXI_FUZZ_DATA "${PROJECT_SOURCE_DIR}/tests/data/fuzz")

# chengxi_fuzz_target(NAME SOURCES... [LIBS...] [INPUTS folders...])
function(chengxi_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;INPUTS" ${ARGN})
    if(CHENGXI_FUZZ)
        if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
            add_executable(chengxi_${name}_fuzz ${ARG_SOURCES})
            target_link_options(chengxi_${name}_fuzz PRIVATE -fsanitize=fuzzer)
            target_link_libraries(chengxi_${name}_fuzz PRIVATE ${ARG_LIBS})
            target_include_directories(chengxi_${name}_fuzz PRIVATE "${PROJECT_SOURCE_DIR}/src")
            set_target_properties(chengxi_${name}_fuzz PROPERTIES
                RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
        endif()
        return()
    endif()
    add_executable(chengxi_${name}_replay ${ARG_SOURCES}
        "${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp"
        "${PROJECT_SOURCE_DIR}/tests/support/allocation_watch.cpp")
    target_link_libraries(chengxi_${name}_replay PRIVATE ${ARG_LIBS})
    target_include_directories(chengxi_${name}_replay PRIVATE
        "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests")
    set(data "${CHENGXI_FUZZ_DATA}/${name}")
    chengxi_add_test(chengxi_${name}_fuzz_replay chengxi_${name}_replay
        "${data}/seeds" "${data}/corpus" "${data}/crashers" ${ARG_INPUTS})
endfunction()
