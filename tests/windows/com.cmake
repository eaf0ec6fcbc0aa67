# Tests of the COM server VKDClickrc.dll, the same for both architectures: what objdump and
# the bytes of the DLL tell, and real clients under Wine, each test in the same Wine prefix
# inside the build folder, set up and torn down by the wine_prefix fixture. The x86 build
# runs in a 64-bit prefix as 32-bit programs do on 64-bit Windows.
add_test(NAME com_dll_binary
  COMMAND "${CMAKE_COMMAND}" "-DFILE=$<TARGET_FILE:VKDClickrc>" "-DOBJDUMP=${VKD_OBJDUMP}"
          "-DEXPORTS=DllCanUnloadNow,DllGetClassObject,DllInstall,DllRegisterServer,DllUnregisterServer"
          "-DRESOURCE_TEXTS=${VKD_VERSION_TEXT},VKDClickrc.dll,OriginalFilename"
          -DTYPELIB=ON -P "${CMAKE_CURRENT_SOURCE_DIR}/check_binary.cmake")

# Test programs, plain executables next to the DLL.
function(vkd_add_windows_program name)
  add_executable(${name} ${name}.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} vkd_warnings)
endfunction()
vkd_add_windows_program(type_library_conformance oleaut32 ole32 uuid)
vkd_add_windows_program(com_client vkd_com user32)
vkd_add_windows_program(com_pieces_check vkd_com)
vkd_add_windows_program(registration_rollback vkd_com_interface advapi32)
vkd_add_windows_program(com_load vkd_com psapi)
vkd_add_windows_program(server_probe vkd_com_interface)
target_link_options(server_probe PRIVATE -municode)
vkd_add_windows_program(registered_type_library vkd_com_interface)
target_link_options(registered_type_library PRIVATE -municode)
add_dependencies(com_client VKDClickrc)
add_dependencies(registration_rollback VKDClickrc)
add_dependencies(com_load VKDClickrc)
add_dependencies(server_probe VKDClickrc)
add_dependencies(type_library_conformance VKDClickrc)

find_program(VKD_WINE wine)
if(NOT VKD_WINE)
  message(STATUS "wine not found: the COM server's Wine tests are left out")
  return()
endif()
if(TARGET csp2a)
  add_dependencies(com_client csp2a)
  add_dependencies(com_load csp2a)
endif()

set(harness "${CMAKE_CURRENT_SOURCE_DIR}/wine_harness.sh")
math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
set(harness_arguments "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}" "${CMAKE_BINARY_DIR}/wine" ${bits})
# The identifiers the harness looks for, from cmake/identity.cmake.
configure_file("${CMAKE_CURRENT_SOURCE_DIR}/identity.sh.in" "${CMAKE_BINARY_DIR}/wine/identity.sh" @ONLY)
set(devices "${CMAKE_CURRENT_SOURCE_DIR}/devices")

add_test(NAME com_wine_start COMMAND "${harness}" ${harness_arguments} start)
add_test(NAME com_wine_stop COMMAND "${harness}" ${harness_arguments} stop)
set_tests_properties(com_wine_start PROPERTIES FIXTURES_SETUP wine_prefix)
set_tests_properties(com_wine_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)
set_tests_properties(com_wine_start com_wine_stop PROPERTIES LABELS wine RESOURCE_LOCK wine_prefix TIMEOUT 120)

# vkd_add_wine_test(name harness-command arguments...)
function(vkd_add_wine_test name)
  add_test(NAME ${name} COMMAND "${harness}" ${harness_arguments} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 300)
endfunction()

vkd_add_wine_test(com_registration registration)
vkd_add_wine_test(com_per_user_install per-user)
vkd_add_wine_test(com_registration_rollback run none "$<TARGET_FILE:registration_rollback>")
string(REPLACE "/" "\\" readme_for_wine "Z:${PROJECT_SOURCE_DIR}/README.md")
vkd_add_wine_test(com_type_library_conformance run none "$<TARGET_FILE:type_library_conformance>" "${readme_for_wine}")
vkd_add_wine_test(com_pieces run none "$<TARGET_FILE:com_pieces_check>")
vkd_add_wine_test(com_cpp_client run "${devices}/worked_example.json" "$<TARGET_FILE:com_client>")
vkd_add_wine_test(com_load run demo "$<TARGET_FILE:com_load>")

# Both servers side by side in this build's prefix: the other bitness comes from the build
# folder of the other Windows preset (VKD_OTHER_BITNESS_BUILD, packaging/CMakeLists.txt),
# and the test is skipped (not passed) without it.
vkd_add_wine_test(com_both_bitnesses both "${VKD_OTHER_BITNESS_BUILD}/bin")
set_tests_properties(com_both_bitnesses PROPERTIES SKIP_RETURN_CODE 77)
set(vbscript "${CMAKE_CURRENT_SOURCE_DIR}/clicker_suite.vbs")
vkd_add_wine_test(com_vbscript run "${devices}/worked_example.json" "${vbscript}" worked_example)
vkd_add_wine_test(com_vbscript_overflow run many "${vbscript}" overflow)
vkd_add_wine_test(com_vbscript_demo_scanner run demo "${vbscript}" demo)
vkd_add_wine_test(com_vbscript_lets run "${devices}/worked_example.json" "${vbscript}" lets)
vkd_add_wine_test(com_jscript run "${devices}/second_scanner.json" "${CMAKE_CURRENT_SOURCE_DIR}/clicker_suite.js")
