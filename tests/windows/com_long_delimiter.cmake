# A delimited text too long for a host's String, read from VBScript under Wine: the
# device, 4,000 barcodes, is written here rather than kept in the source tree.
if(NOT TEST com_wine_start)
  return()
endif()

set(barcode "{\"type\": 3, \"text\": \"8712345678906\", \"time\": \"2009-05-01T13:45:02\"}")
string(REPEAT "${barcode}, " 3999 barcodes)
set(device "${CMAKE_CURRENT_BINARY_DIR}/devices/four_thousand_barcodes.json")
file(WRITE "${device}" "{\"port\": 3, \"barcodes\": [${barcodes}${barcode}]}\n")
vkd_add_wine_test(com_vbscript_long_delimiter run "${device}"
  "${CMAKE_CURRENT_SOURCE_DIR}/clicker_suite.vbs" long_delimiter)
