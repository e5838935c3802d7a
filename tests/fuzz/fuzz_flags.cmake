# Compiler flags of a fuzzing build (-DKESTREL_FUZZ=ON, clang): the whole tree is
# instrumented for libFuzzer's coverage feedback and checked by AddressSanitizer and
# UndefinedBehaviorSanitizer, so the harnesses see into every library they call. With
# KESTREL_FUZZ_COVERAGE the tree records source-based coverage instead (for measuring
# what the harnesses reach, see scripts/fuzz-coverage.sh).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KESTREL_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
if(KESTREL_SANITIZE)
  message(STATUS "kestrel: KESTREL_SANITIZE is passed over in a fuzzing build, which has its own sanitizers")
endif()
if(KESTREL_FUZZ_COVERAGE)
  target_compile_options(kestrel_warnings INTERFACE -fprofile-instr-generate -fcoverage-mapping)
  target_link_options(kestrel_warnings INTERFACE -fprofile-instr-generate)
else()
  # -O1: many more inputs a second than unoptimised code, and still good stack traces.
  target_compile_options(kestrel_warnings INTERFACE -O1 -g -fsanitize=fuzzer-no-link,address,undefined
                         -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(kestrel_warnings INTERFACE -fsanitize=fuzzer-no-link,address,undefined)
endif()
