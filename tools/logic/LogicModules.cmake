# The logic modules the logic tests load. (The sample level's modules are
# built with the sample disc, in tools/CMakeLists.txt.)
include("${PROJECT_SOURCE_DIR}/cmake/LogicModule.cmake")

set(ENGINE_LOGIC_OUT "${CMAKE_BINARY_DIR}/logic")

set(test_modules "${PROJECT_SOURCE_DIR}/tests/framework/logic/modules")
engine_add_logic_module(NAME FEATURE OUTPUT "${ENGINE_LOGIC_OUT}/FEATURE.o" SOURCES "${test_modules}/feature.c")
engine_add_logic_module(NAME TESTLIB OUTPUT "${ENGINE_LOGIC_OUT}/TESTLIB.o" SOURCES "${test_modules}/library.c")
engine_add_logic_module(NAME NEEDSMEMSET OUTPUT "${ENGINE_LOGIC_OUT}/NEEDSMEMSET.o" ALLOW_REFUSED
    SOURCES "${test_modules}/needsmemset.c")
engine_add_logic_module(NAME COUNTER OUTPUT "${ENGINE_LOGIC_OUT}/COUNTER.o" SOURCES "${test_modules}/counter.c")
engine_add_logic_module(NAME TABLES OUTPUT "${ENGINE_LOGIC_OUT}/TABLES.o" SOURCES "${test_modules}/tables.c")
add_custom_target(test_logic_modules DEPENDS
    "${ENGINE_LOGIC_OUT}/FEATURE.o" "${ENGINE_LOGIC_OUT}/TESTLIB.o" "${ENGINE_LOGIC_OUT}/NEEDSMEMSET.o"
    "${ENGINE_LOGIC_OUT}/COUNTER.o" "${ENGINE_LOGIC_OUT}/TABLES.o")

# PowerPC fixtures: the committed copies always; with the cross toolchain,
# the same set rebuilt from source into the build tree as well.
find_program(ENGINE_PPC_GCC NAMES powerpc-linux-gnu-gcc)
set(ppc_committed "${PROJECT_SOURCE_DIR}/tests/data/logic")
set(ppc_built "")
if(ENGINE_PPC_GCC)
  set(ppc_built "${ENGINE_LOGIC_OUT}/ppc")
  file(GLOB ppc_sources CONFIGURE_DEPENDS "${ppc_committed}/src/*")
  add_custom_command(
      OUTPUT "${ppc_built}/SWITCHES.o"
      COMMAND sh "${PROJECT_SOURCE_DIR}/tools/logic/ppc-fixtures.sh" "${ppc_built}"
      DEPENDS ${ppc_sources} "${PROJECT_SOURCE_DIR}/tools/logic/ppc-fixtures.sh" "${ENGINE_LOGIC_MERGE_SCRIPT}"
      COMMENT "Building the PowerPC logic fixtures"
      VERBATIM)
  add_custom_target(ppc_logic_fixtures DEPENDS "${ppc_built}/SWITCHES.o")
endif()

# The module header compiled as C for the console's 32-bit target, where
# its layout checks take their 32-bit form.
if(ENGINE_PPC_GCC)
  set(ppc_header_check "${ENGINE_LOGIC_OUT}/ppc/LogicModuleAPI.checked")
  add_custom_command(
      OUTPUT "${ppc_header_check}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${ENGINE_LOGIC_OUT}/ppc"
      COMMAND "${ENGINE_PPC_GCC}" -std=c11 -Wall -Wextra -Werror -ffreestanding "-I${PROJECT_SOURCE_DIR}" -fsyntax-only
              -x c "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicModuleAPI.h"
      COMMAND "${CMAKE_COMMAND}" -E touch "${ppc_header_check}"
      DEPENDS ${ENGINE_LOGIC_API_HEADERS}
      COMMENT "Checking the logic module header for the PowerPC target"
      VERBATIM)
  add_custom_target(ppc_logic_header ALL DEPENDS "${ppc_header_check}")
endif()

foreach(program IN ITEMS test_framework_logic test_framework_logic_api)
  if(TARGET ${program})
    add_dependencies(${program} test_logic_modules)
    target_compile_definitions(${program} PRIVATE
        ENGINE_LOGIC_MODULE_DIR="${ENGINE_LOGIC_OUT}"
        ENGINE_PPC_FIXTURES_COMMITTED="${ppc_committed}"
        ENGINE_PPC_FIXTURES_BUILT="${ppc_built}")
    if(TARGET ppc_logic_fixtures)
      add_dependencies(${program} ppc_logic_fixtures)
    endif()
  endif()
endforeach()

# The sample disc's tests boot it with the sample's own modules.
foreach(sample_test test_framework_logic_api_sample_routed_new test_framework_graphics_sample_driver_routed_new)
  if(TARGET ${sample_test} AND TARGET sample_logic_modules)
    add_dependencies(${sample_test} sample_logic_modules)
    target_compile_definitions(${sample_test} PRIVATE ENGINE_LOGIC_MODULE_DIR="${ENGINE_LOGIC_OUT}"
        ENGINE_SAMPLE_OBJECT_MODULE="${ENGINE_SAMPLE_OBJECT_MODULE}"
        ENGINE_SAMPLE_LIBRARY_MODULE="${ENGINE_SAMPLE_LIBRARY_MODULE}")
  endif()
endforeach()
# The in-process boot of the sample disc plays the disc's own movie.
if(TARGET test_framework_graphics_sample_driver_routed_new AND TARGET sample_movie)
  add_dependencies(test_framework_graphics_sample_driver_routed_new sample_movie)
  target_compile_definitions(test_framework_graphics_sample_driver_routed_new PRIVATE
      ENGINE_SAMPLE_MOVIE="${ENGINE_SAMPLE_MOVIE}")
endif()
