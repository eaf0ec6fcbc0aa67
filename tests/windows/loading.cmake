# How the scanner library is loaded on Windows: a probe library with a dependency of its
# own, built into a folder of its own so that the test program's folder never holds the
# dependency, and a program that loads it from fresh folders under Wine.
add_library(loading_probe_dependency SHARED loading/probe_dependency.cpp)
add_library(loading_probe SHARED loading/probe.cpp)
target_link_libraries(loading_probe PRIVATE loading_probe_dependency)
foreach(probe loading_probe loading_probe_dependency)
  set_target_properties(${probe} PROPERTIES PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/loading")
  target_link_libraries(${probe} PRIVATE vkd_warnings)
endforeach()

vkd_add_windows_program(library_loading_check vkd_csp2a)
add_dependencies(library_loading_check loading_probe)

if(NOT TEST com_wine_start)
  return()
endif()
vkd_add_wine_test(scanner_library_loading run none "$<TARGET_FILE:library_loading_check>")
