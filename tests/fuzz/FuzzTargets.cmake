# Fuzz programs: one per target file of tests/fuzz, each built with clang,
# libFuzzer and both sanitizers (the fuzz preset). A target file names its
# target with FUZZ_TARGET( name ); the program is fuzz_<name>.
set(fuzz_folder "${PROJECT_SOURCE_DIR}/tests/fuzz")

file(GLOB fuzz_sources CONFIGURE_DEPENDS "${fuzz_folder}/*.cpp")
set(fuzz_support "${fuzz_folder}/FuzzTarget.cpp" "${fuzz_folder}/libfuzzer/FuzzMain.cpp")
set(ENGINE_FUZZ_PROGRAMS "" CACHE INTERNAL "")
foreach(source IN LISTS fuzz_sources)
  file(STRINGS "${source}" declared REGEX "^FUZZ_TARGET\\( *[a-z0-9_]+ *\\)")
  foreach(line IN LISTS declared)
    string(REGEX REPLACE "^FUZZ_TARGET\\( *([a-z0-9_]+) *\\).*" "\\1" name "${line}")
    set(program fuzz_${name})
    add_executable(${program} "${source}" ${fuzz_support})
    engine_link_bodies(${program})
    target_link_libraries(${program} PRIVATE engine_toolkit engine_testdevice)
    target_include_directories(${program} PRIVATE "${fuzz_folder}" "${PROJECT_SOURCE_DIR}/tests")
    target_compile_definitions(${program} PRIVATE ENGINE_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        ENGINE_FUZZ_TARGET_NAME="${name}")
    target_link_options(${program} PRIVATE -fsanitize=fuzzer)
    # Whole levels are loaded with operator new routed to the engine's heaps.
    if(source MATCHES "/FuzzLevelFile.cpp$")
      target_sources(${program} PRIVATE "${fuzz_folder}/FuzzRoutedNew.cpp")
    endif()
    set(ENGINE_FUZZ_PROGRAMS ${ENGINE_FUZZ_PROGRAMS} ${program} CACHE INTERNAL "")
  endforeach()
endforeach()
