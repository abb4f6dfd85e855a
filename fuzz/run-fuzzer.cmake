# cmake -DFUZZER=<executable> -DCORPUS=<seeds> -DWORK=<directory> -DSECONDS=<n> -P run-fuzzer.cmake
#
# Fuzzes for SECONDS from a fresh copy of the seeds in WORK/corpus, so that the source tree is
# never written; fails on the first crash, leak, hang or sanitizer report, whose input is left in
# WORK/artifacts. -close_fd_mask=2 keeps the codec's diagnostic lines, millions of them, out of
# the log while libFuzzer's own output and the sanitizers' reports stay.
foreach(variable FUZZER CORPUS WORK SECONDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run-fuzzer.cmake: ${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK}/corpus)
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(COPY ${CORPUS}/ DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -malloc_limit_mb=64
          -close_fd_mask=2 -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/
          ${WORK}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
