# The installers under Wine (msi_install.sh), in the preset that builds them (x86), with
# the test programs of both Windows builds: it fails rather than skips when the x64 build
# is missing. It runs in a prefix of its own, so beside the other Wine tests.
if(NOT TARGET vkd_msi OR NOT TEST com_wine_start)
  return()
endif()
add_test(NAME msi_install
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/msi_install.sh" "${CMAKE_BINARY_DIR}/wine-msi"
          "${VKD_OTHER_BITNESS_BUILD}/bin" "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
          "${VKD_MSI_MACHINE}" "${VKD_MSI_USER}" "${VKD_MSI_NEXT}")
set_tests_properties(msi_install PROPERTIES LABELS wine TIMEOUT 300)
# The harness's identifiers, for the prefix of its own.
configure_file("${CMAKE_CURRENT_SOURCE_DIR}/identity.sh.in" "${CMAKE_BINARY_DIR}/wine-msi/identity.sh" @ONLY)
