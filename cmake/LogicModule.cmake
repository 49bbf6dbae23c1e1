# Host logic modules: C compiled into one relocatable x86-64 image that the
# engine's linker loads like a console module.
#
# A module is built by its own commands with its own flags, never with the
# project's: sanitizer and coverage flags would add runtime names the engine
# cannot bind. The large code model makes every address an absolute
# R_X86_64_64; merge.ld folds code and data into one ".text" at 0.
#
# Rules for module authors:
#  - no large zero-initialised local aggregates: the compiler clears them
#    with a memset call, and only memcpy is bound;
#  - no -fcommon (every global is defined in the module);
#  - on the console, no 64-bit division (it calls a runtime helper).
#
#   engine_add_logic_module(NAME name SOURCES a.c ... OUTPUT file [ALLOW_REFUSED])
# ALLOW_REFUSED skips the check, for test modules made to be refused.

find_program(ENGINE_LOGIC_CC NAMES gcc cc clang)
find_program(ENGINE_LOGIC_LD NAMES ld)
find_program(ENGINE_LOGIC_NM NAMES nm)
find_program(ENGINE_LOGIC_READELF NAMES readelf)

# The module header and the table and record headers it includes.
file(GLOB ENGINE_LOGIC_API_HEADERS CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicModuleAPI.h"
    "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicApiTypes.h"
    "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicApiRecords.h"
    "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicBehaviourRecords.h"
    "${PROJECT_SOURCE_DIR}/framework/logic/api/LogicTable*.h")

set(ENGINE_LOGIC_MERGE_SCRIPT "${PROJECT_SOURCE_DIR}/tools/logic/merge.ld")
set(ENGINE_LOGIC_FLAGS -O2 -fno-pic -fno-pie -mcmodel=large -fno-common -ffreestanding
    -fno-stack-protector -fno-asynchronous-unwind-tables)
if(ENGINE_LOGIC_CC MATCHES "clang")
  list(APPEND ENGINE_LOGIC_FLAGS -fno-addrsig)
endif()

function(engine_add_logic_module)
  cmake_parse_arguments(MODULE "ALLOW_REFUSED" "NAME;OUTPUT" "SOURCES" ${ARGN})
  set(work "${CMAKE_BINARY_DIR}/logic/${MODULE_NAME}.objects")
  set(objects "")
  foreach(source IN LISTS MODULE_SOURCES)
    get_filename_component(stem "${source}" NAME_WE)
    set(object "${work}/${stem}.o")
    # The compiler names every header the source includes (the module's
    # own as well as the API's) in a dependency file, so that changing one
    # rebuilds the module.
    add_custom_command(
        OUTPUT "${object}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${work}"
        COMMAND "${ENGINE_LOGIC_CC}" ${ENGINE_LOGIC_FLAGS} "-I${PROJECT_SOURCE_DIR}" -MD -MF "${object}.d"
                -c "${source}" -o "${object}"
        DEPENDS "${source}" ${ENGINE_LOGIC_API_HEADERS}
        DEPFILE "${object}.d"
        COMMENT "Compiling logic module source ${stem}"
        VERBATIM)
    list(APPEND objects "${object}")
  endforeach()
  set(allow OFF)
  if(MODULE_ALLOW_REFUSED)
    set(allow ON)
  endif()
  add_custom_command(
      OUTPUT "${MODULE_OUTPUT}"
      COMMAND "${ENGINE_LOGIC_LD}" -r -T "${ENGINE_LOGIC_MERGE_SCRIPT}" -o "${MODULE_OUTPUT}.merged" ${objects}
      COMMAND "${CMAKE_COMMAND}" "-DNM=${ENGINE_LOGIC_NM}" "-DREADELF=${ENGINE_LOGIC_READELF}"
              "-DMODULE=${MODULE_OUTPUT}.merged" "-DOUTPUT=${MODULE_OUTPUT}" "-DALLOW_REFUSED=${allow}"
              -P "${PROJECT_SOURCE_DIR}/tools/logic/CheckModule.cmake"
      DEPENDS ${objects} "${ENGINE_LOGIC_MERGE_SCRIPT}" "${PROJECT_SOURCE_DIR}/tools/logic/CheckModule.cmake"
      COMMENT "Merging logic module ${MODULE_NAME}"
      VERBATIM)
endfunction()
