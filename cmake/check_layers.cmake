# cmake -DSOURCE_ROOT=dir -P check_layers.cmake
# Reads every `#include "<layer>/..."` in the layer folders under SOURCE_ROOT and fails,
# naming file and line, on each that includes a layer its own layer may not use
# (cmake/layers.cmake). A folder of no layer is not read; finding no file at all fails,
# so that a wrong root cannot pass unnoticed.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/layers.cmake")

if(NOT IS_DIRECTORY "${SOURCE_ROOT}")
  message(FATAL_ERROR "no folder ${SOURCE_ROOT}")
endif()

set(files_read 0)
set(violations "")
foreach(layer IN LISTS VKD_LAYERS)
  set(allowed ${layer} ${VKD_LAYER_USES_${layer}})
  file(GLOB_RECURSE files "${SOURCE_ROOT}/${layer}/*.h" "${SOURCE_ROOT}/${layer}/*.cpp")
  foreach(file IN LISTS files)
    math(EXPR files_read "${files_read} + 1")
    file(READ "${file}" content)
    # One list entry per line: characters that a CMake list treats specially become
    # harmless ones first, which keeps the line numbers.
    string(REPLACE "\\" "/" content "${content}")
    string(REPLACE "[" "(" content "${content}")
    string(REPLACE "]" ")" content "${content}")
    string(REPLACE ";" "," content "${content}")
    string(REPLACE "\n" ";" lines "${content}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z0-9_]+)/")
        set(used "${CMAKE_MATCH_1}")
        if(used IN_LIST VKD_LAYERS AND NOT used IN_LIST allowed)
          file(RELATIVE_PATH shown "${SOURCE_ROOT}" "${file}")
          list(APPEND violations "${shown}:${number}: layer ${layer} may not include ${used}/")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(files_read EQUAL 0)
  message(FATAL_ERROR "no source file of any layer under ${SOURCE_ROOT}")
endif()
if(violations)
  foreach(violation IN LISTS violations)
    message(NOTICE "${violation}")
  endforeach()
  list(LENGTH violations count)
  message(FATAL_ERROR "${count} includes against the order of the layers")
endif()
message(STATUS "${files_read} files keep the order of the layers")
