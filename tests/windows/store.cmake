# The station's store on Windows, under Wine: Debian's SQLite compiled by the cross
# compiler, a store file in a temporary folder, docked and read back
# (tests/windows/store_check.cpp).
vkd_add_windows_program(store_check vkd_store)
if(TEST com_wine_start)
  vkd_add_wine_test(store_wine run none "$<TARGET_FILE:store_check>")
endif()
