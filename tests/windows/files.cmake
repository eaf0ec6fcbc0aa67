# The files layer as Windows does it, under Wine: replacement, additions under the lock,
# and temporary files that go with their process (tests/windows/files_check.cpp).
add_executable(files_check files_check.cpp)
target_link_libraries(files_check PRIVATE vkd_files vkd_warnings)

if(NOT TEST com_wine_start)
  return()
endif()
vkd_add_wine_test(files_wine run none "$<TARGET_FILE:files_check>")
