# SPDX-License-Identifier: MIT

# One short, repeatable run of a fuzz target, for CTest: a fixed seed and a
# fixed number of runs, starting from the checked-in seeds. New inputs go to
# a scratch corpus emptied first, so the seeds in the source tree stay as
# they are and every run starts alike.
#   cmake -D FUZZER=<program> -D SEEDS=<dir> -D WORK=<dir> -D RUNS=<n> -P RunShortFuzz.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/findings")
execute_process(
  COMMAND "${FUZZER}" -seed=1 -runs=${RUNS} -max_len=4096 -timeout=10
          -artifact_prefix=${WORK}/findings/ -print_final_stats=1
          "${WORK}/corpus" "${SEEDS}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${status}); the input is in ${WORK}/findings")
endif()
