' The download landed in cell A1, its fields separated by tabs.
Check clicker.open_ok, "the scanner answered"
Check Left(cell_a1.Value, 7) = "DL" & vbTab & "V03" & vbTab, "A1 holds the delimited text"
Check InStr(cell_a1.Value, vbTab & "8712345678906") > 0, "A1 holds the barcode"
