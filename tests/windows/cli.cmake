# The clicker command as built for Windows: on both architectures it imports system DLLs
# only; under Wine (in the COM tests' prefix, when those are set up) it runs against
# the simulated scanner's demo device.
add_test(NAME cli_exe_binary
  COMMAND "${CMAKE_COMMAND}" "-DFILE=$<TARGET_FILE:clicker>" "-DOBJDUMP=${VKD_OBJDUMP}"
          -P "${CMAKE_CURRENT_SOURCE_DIR}/check_binary.cmake")

if(NOT TEST com_wine_start)
  return()
endif()

# vkd_add_wine_cli_test(name expected-output-pattern arguments...)
function(vkd_add_wine_cli_test name pattern)
  add_test(NAME ${name} COMMAND "${VKD_WINE}" "$<TARGET_FILE:clicker>" ${ARGN})
  set_tests_properties(${name} PROPERTIES
    LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 120
    PASS_REGULAR_EXPRESSION "${pattern}"
    # The arguments reach the program as UTF-8 only under a UTF-8 locale.
    ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine/prefix;WINEDEBUG=-all;LANG=C.UTF-8;CSP2A_DEVICE=")
endfunction()

vkd_add_wine_cli_test(cli_wine_hello "^Clicker control successfully installed\n$" hello)
# A delimiter outside ASCII passes the wide command line and the UTF-8 output both. (Not
# anchored: standard error is merged in front.)
vkd_add_wine_cli_test(cli_wine_download "DL§V03§SIM 2\\.10§104A007E2391C50B§H§" download --delimiter §)

# The collection station with its SQLite store, under Wine.
add_test(NAME station_wine
  COMMAND bash "${CMAKE_CURRENT_SOURCE_DIR}/station_check.sh" "${VKD_WINE}" "$<TARGET_FILE:clicker>"
          "${CMAKE_BINARY_DIR}/wine/station")
set_tests_properties(station_wine PROPERTIES
  LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 300
  ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine/prefix;WINEDEBUG=-all")
