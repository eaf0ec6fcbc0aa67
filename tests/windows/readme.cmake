# The README's VBScript and VBA examples, run through cscript under Wine in the prefix of
# the COM tests (com.cmake), with checks of what they did appended.
if(NOT TEST com_wine_start)
  return()
endif()

set(readme_dir "${CMAKE_CURRENT_LIST_DIR}/readme")
function(vkd_add_readme_test name language prefix checks)
  add_test(NAME ${name}
    COMMAND bash "${readme_dir}/readme_example.sh" "${PROJECT_SOURCE_DIR}/README.md" ${language}
            "${prefix}" "${readme_dir}/${checks}" "${CMAKE_CURRENT_LIST_DIR}/wine_harness.sh"
            ${harness_arguments} "${readme_dir}/scanner_on_port_5.json")
  set_tests_properties(${name} PROPERTIES
    LABELS wine FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix TIMEOUT 300)
endfunction()

vkd_add_readme_test(readme_vbscript_example vbscript none vbscript_checks.vbs)
vkd_add_readme_test(readme_vba_example vba "${readme_dir}/excel_range.vbs" vba_checks.vbs)
