# cmake -DCHECKER=check_layers.cmake -DSOURCE_ROOT=violations -P expect_rejections.cmake
# Runs the layer check on the samples: it must fail and name exactly the lines that run
# against the order, and none of those that keep it.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE_ROOT=${SOURCE_ROOT} -P "${CHECKER}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
  message(FATAL_ERROR "the check passed the samples:\n${output}")
endif()
set(expected
  "automation/reads_conversations.h:5: layer automation may not include conversations/"
  "conversations/reads_the_object.cpp:4: layer conversations may not include component/"
  "sim/reads_automation.cpp:4: layer sim may not include automation/"
  "files/reads_automation.h:4: layer files may not include automation/"
  "store/reads_files.cpp:5: layer store may not include files/"
  "component/reads_cli.h:6: layer component may not include cli/")
foreach(line IN LISTS expected)
  string(FIND "${output}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not report `${line}`:\n${output}")
  endif()
endforeach()
string(REGEX MATCHALL "may not include" reported "${output}")
list(LENGTH reported count)
list(LENGTH expected wanted)
if(NOT count EQUAL wanted)
  message(FATAL_ERROR "the check reported ${count} lines, not ${wanted}:\n${output}")
endif()
