# The station's store on Windows, under Wine: Debian's SQLite compiled by the cross
# compiler, a store file in a temporary folder, docked and read back
# (tests/windows/store_check.cpp).
add_executable(store_check store_check.cpp)
target_link_libraries(store_check PRIVATE vkd_store vkd_warnings)

if(NOT TEST com_wine_start)
  return()
endif()
vkd_add_wine_test(store_wine run none "$<TARGET_FILE:store_check>")
