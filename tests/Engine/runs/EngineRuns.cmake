# The engine executable run as a user runs it, on the sample disc, in both
# configurations; in the sanitizer configuration also on damaged copies of
# the disc. A run fails on a non-zero exit, a signal, a hang past its bound
# or any sanitizer report in its output (the sanitizer configuration halts
# at the first one).
if(NOT TARGET engine)
  return()
endif()

set(engine_run_dir "${CMAKE_CURRENT_BINARY_DIR}/engine_runs")
set(engine_sanitizer_report "runtime error:|[A-Za-z]+Sanitizer")
set(engine_sanitizer_options "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
                             "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# The run target's settings: 720 frames (the sample loads its level again
# at ten seconds, after its movie), the card folder in the build tree.
file(MAKE_DIRECTORY "${engine_run_dir}/sample")
add_test(NAME EngineRunsTheSampleDisc
         COMMAND ${CMAKE_COMMAND} -E env "ENGINE_DISC=${ENGINE_SAMPLE_DISC}" "ENGINE_CARD=${CMAKE_BINARY_DIR}/card"
                 "ENGINE_FRAMES=720" $<TARGET_FILE:engine>
         WORKING_DIRECTORY "${engine_run_dir}/sample")
set_tests_properties(EngineRunsTheSampleDisc PROPERTIES
    TIMEOUT 300
    FAIL_REGULAR_EXPRESSION "${engine_sanitizer_report}"
    ENVIRONMENT "${engine_sanitizer_options}")

if(NOT ENGINE_SANITIZE)
  return()
endif()

# Damaged copies of the disc: each seed cuts short or flips bytes in three
# of the files the boot reads in its first 130 frames (logic modules stay
# whole), then boots the copy for 130 frames. A clean end or a clean
# refusal (exit 0 or 1) passes.
set(engine_damage_candidates
    ENGINE.INI
    LEVEL/SAMPLE/GEN/SAMPLE.GCR
    LEVEL/SAMPLE/FR/LOAD.LS
    LEVEL/SAMPLE/FR/LOADNTSC.TXD
    LEVEL/SAMPLE/FR/TEXDIC_0.TXD
    LEVEL/SAMPLE/FR/FONT0.FT
    LEVEL/SAMPLE/FR/FONT0.PAL
    LEVEL/SAMPLE/FR/GLOBAL.PAL
    LEVEL/SAMPLE/FR/TEXT.TX
    LEVEL/SAMPLE/FR/AUDIO/AMBIENT.SBH
    LEVEL/SAMPLE/FR/AUDIO/AMBIENT.TSC
    LEVEL/SAMPLE/FR/AUDIO/AMBIENT.TSE
    LEVEL/SAMPLE/FR/AUDIO/AMBIENT.sbb
    LEVEL/SAMPLE/FR/AUDIO/EFFECTS.SBH
    LEVEL/SAMPLE/FR/AUDIO/EFFECTS.TSC
    LEVEL/SAMPLE/FR/AUDIO/EFFECTS.TSE
    LEVEL/SAMPLE/FR/AUDIO/EFFECTS.sbb
    LEVEL/SAMPLE/FR/AUDIO/MUSIC.SBH
    LEVEL/SAMPLE/FR/AUDIO/MUSIC.TSC
    LEVEL/SAMPLE/FR/AUDIO/MUSIC.TSE)
string(REPLACE ";" "," engine_damage_names "${engine_damage_candidates}")
foreach(seed RANGE 1 16)
  add_test(NAME EngineBootsADamagedSampleDisc.${seed}
           COMMAND ${CMAKE_COMMAND} "-DENGINE=$<TARGET_FILE:engine>" "-DDAMAGEDISC=$<TARGET_FILE:damagedisc>"
                   "-DDISC=${ENGINE_SAMPLE_DISC}" "-DWORK=${engine_run_dir}/damaged_${seed}" "-DSEED=${seed}"
                   "-DNAMES=${engine_damage_names}" "-DREPORT=${engine_sanitizer_report}"
                   -P "${CMAKE_CURRENT_LIST_DIR}/DamagedDiscRun.cmake")
  set_tests_properties(EngineBootsADamagedSampleDisc.${seed} PROPERTIES
      TIMEOUT 240
      ENVIRONMENT "${engine_sanitizer_options}")
endforeach()
