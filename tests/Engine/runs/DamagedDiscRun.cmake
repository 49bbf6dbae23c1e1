# One boot of the engine on a damaged copy of a disc (cmake -P).
#   ENGINE, DAMAGEDISC  the engine and the disc-damaging tool
#   DISC                the disc folder copied
#   WORK                folder of this run (the copy, its card, its output)
#   SEED                the damage's seed
#   NAMES               the disc files it may damage, comma separated
#   REPORT              regular expression of a sanitizer report
# Passes within the bound with no report in the output when the engine ran
# (exit 0) or refused to start (exit 1 after its refusal message). A panic
# also exits 1: it fails the run, as a damaged file must never reach one.
set(files_per_disc 3)
set(frames 130)
# Seconds the boot may take: 130 frames take under five.
set(bound 120)

string(REPLACE "," ";" names "${NAMES}")
execute_process(COMMAND "${DAMAGEDISC}" ${SEED} ${files_per_disc} "${DISC}" "${WORK}/disc" ${names}
                RESULT_VARIABLE made OUTPUT_VARIABLE damage ERROR_VARIABLE damage)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "the damaged copy could not be made: ${damage}")
endif()
message(STATUS "seed ${SEED} damaged:\n${damage}")

file(MAKE_DIRECTORY "${WORK}/card")
set(ENV{ENGINE_DISC} "${WORK}/disc")
set(ENV{ENGINE_CARD} "${WORK}/card")
set(ENV{ENGINE_FRAMES} ${frames})
execute_process(COMMAND "${ENGINE}" WORKING_DIRECTORY "${WORK}" TIMEOUT ${bound}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(WRITE "${WORK}/output.txt" "${output}")

string(LENGTH "${output}" length)
set(tail_from 0)
if(length GREATER 4000)
  math(EXPR tail_from "${length} - 4000")
endif()
string(SUBSTRING "${output}" ${tail_from} -1 tail)
if(NOT result MATCHES "^[01]$")
  message(FATAL_ERROR "seed ${SEED}: the engine ended with \"${result}\" (a signal, a hang or an unexpected code)\n${tail}")
endif()
if(output MATCHES "PANIC in ")
  message(FATAL_ERROR "seed ${SEED}: the engine panicked\n${tail}")
endif()
if(result EQUAL 1 AND NOT output MATCHES "THE ENGINE COULD NOT BE INITIALISED")
  message(FATAL_ERROR "seed ${SEED}: exit 1 without the engine's refusal\n${tail}")
endif()
if(output MATCHES "${REPORT}")
  message(FATAL_ERROR "seed ${SEED}: a sanitizer report\n${tail}")
endif()
message(STATUS "seed ${SEED}: exit ${result}")
