# The simulated scanner library as Windows programs meet it: exactly the functions of the
# list exported under their plain names (no @N decoration on x86, where callers look the
# standard-call functions up by plain name), and only system DLLs imported, so that it
# loads on a machine without a compiler's runtime.
file(READ "${PROJECT_SOURCE_DIR}/src/csp2a/csp2a_functions.h" vkd_functions_header)
string(REGEX MATCHALL "X\\(csp2[A-Za-z0-9]+," vkd_sim_functions "${vkd_functions_header}")
list(TRANSFORM vkd_sim_functions REPLACE "X\\((csp2[A-Za-z0-9]+)," "\\1")
list(JOIN vkd_sim_functions "," vkd_sim_exports)

add_test(NAME sim_dll_exports_and_imports
  COMMAND "${CMAKE_COMMAND}"
    "-DFILE=$<TARGET_FILE:csp2a>"
    "-DOBJDUMP=${VKD_OBJDUMP}"
    "-DEXPORTS=${vkd_sim_exports}"
    -P "${CMAKE_CURRENT_LIST_DIR}/check_binary.cmake")
