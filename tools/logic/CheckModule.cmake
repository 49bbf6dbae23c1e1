# Checks a host logic module after its merge: the engine binds no name but
# memcpy and applies no relocation but R_X86_64_64, so anything else would
# only be found when the module is refused at load.
#
# A module that passes is renamed to OUTPUT, so that a failed check leaves
# no output behind and the next build tries again.
#
#   cmake -DNM=... -DREADELF=... -DMODULE=merged.o -DOUTPUT=file.o [-DALLOW_REFUSED=ON] -P CheckModule.cmake
if(ALLOW_REFUSED)
  file(RENAME "${MODULE}" "${OUTPUT}")
  return()
endif()
execute_process(COMMAND "${NM}" -u "${MODULE}" OUTPUT_VARIABLE undefined RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX REPLACE "[ \t]*U[ \t]+" "" undefined "${undefined}")
string(REPLACE "\n" ";" undefined "${undefined}")
list(REMOVE_ITEM undefined "" "memcpy")
if(undefined)
  message(FATAL_ERROR "${MODULE} needs names the engine does not give: ${undefined}")
endif()
execute_process(COMMAND "${READELF}" -rW "${MODULE}" OUTPUT_VARIABLE relocations)
string(REPLACE "\n" ";" lines "${relocations}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-f]+[ \t]+[0-9a-f]+[ \t]+(R_[A-Z0-9_]+)" AND NOT CMAKE_MATCH_1 STREQUAL "R_X86_64_64")
    message(FATAL_ERROR "${MODULE} carries relocation ${CMAKE_MATCH_1}")
  endif()
endforeach()
file(RENAME "${MODULE}" "${OUTPUT}")
