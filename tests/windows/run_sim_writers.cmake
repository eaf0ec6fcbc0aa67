# Runs two sim_writer programs at the same time under Wine on a fresh device file, and
# fails unless both end with status 0:
#   cmake -DWINE=wine -DWRITER=sim_writer.exe -DWORK=folder -P run_sim_writers.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/device.json" "{\"port\": 3}\n")
string(REPLACE "/" "\\" device "Z:${WORK}/device.json")
set(ENV{CSP2A_DEVICE} "${device}")
set(ENV{CSP2A_TRACE} "")

# The commands of one execute_process run at the same time, as a pipeline; the second
# writer reads nothing of what the first prints.
execute_process(
  COMMAND "${WINE}" "${WRITER}" A 1 250 0
  COMMAND "${WINE}" "${WRITER}" B 2 250 100
  RESULTS_VARIABLE results
  OUTPUT_VARIABLE report
  ERROR_VARIABLE faults
  TIMEOUT 240)
if(NOT results STREQUAL "0;0")
  message(FATAL_ERROR "the writers ended with ${results}:\n${faults}")
endif()
message(STATUS "writer B: ${report}")
