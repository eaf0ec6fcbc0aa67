# Two processes changing one device file at once, through the Windows build of the
# simulated library and its lock: each writer (tests/sim/sim_writer.cpp) checks step by
# step that nothing it did was lost, and both must end with status 0. Run under Wine on
# x64, in the COM tests' prefix.
add_executable(sim_writer "${PROJECT_SOURCE_DIR}/tests/sim/sim_writer.cpp")
target_link_libraries(sim_writer PRIVATE vkd_files vkd_sim vkd_csp2a vkd_json vkd_warnings)
add_dependencies(sim_writer csp2a)

if(NOT TEST com_wine_start)
  return()
endif()
add_test(NAME sim_wine_shared_device
  COMMAND "${CMAKE_COMMAND}" "-DWINE=${VKD_WINE}" "-DWRITER=$<TARGET_FILE:sim_writer>"
          "-DWORK=${CMAKE_BINARY_DIR}/wine/writers" -P "${CMAKE_CURRENT_LIST_DIR}/run_sim_writers.cmake")
set_tests_properties(sim_wine_shared_device PROPERTIES
  LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 300
  ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine/prefix;WINEDEBUG=-all")
