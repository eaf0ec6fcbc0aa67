# A bounded fuzz run for ctest: a fresh copy of the seed corpus in the build tree (the
# fuzzer adds what it finds there, never in the sources), then SECONDS of fuzzing.
# Any crash, sanitizer finding, broken property, leak or slow input fails the test; the
# input that did it is kept in WORK_DIR/findings.
# cmake -DFUZZER=... -DSEEDS=... -DWORK_DIR=... -DSECONDS=... -P run_smoke.cmake
foreach(variable FUZZER SEEDS WORK_DIR SECONDS)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_smoke.cmake needs -D${variable}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}/corpus" "${WORK_DIR}/findings")
file(MAKE_DIRECTORY "${WORK_DIR}/findings")
file(COPY "${SEEDS}/" DESTINATION "${WORK_DIR}/corpus")

execute_process(
  COMMAND "${FUZZER}" "${WORK_DIR}/corpus"
    -max_total_time=${SECONDS}
    -rss_limit_mb=2048
    -timeout=10
    -print_final_stats=1
    "-artifact_prefix=${WORK_DIR}/findings/"
  WORKING_DIRECTORY "${WORK_DIR}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${status}); the input is in ${WORK_DIR}/findings")
endif()
