' The search started at 3 and found the scanner on 5: the example empties it there and
' sets its clock to 09:30:00 on 15 May 2024.
Check Left(text, 7) = "DL;V03;", "the download is the delimited text"
Check clicker.comport = 5, "the scanner answered on port 5"
Check clicker.empty_ok, "the scanner was emptied"
Check clicker.timechange_ok, "the scanner took the clock time"
Check InStr(clicker.log, ":SetTime:003009150524:0:01::TimeOK:") > 0, "the clock entries of the log"
