' VKDClicker.Clicker as a VBScript host uses it, against the simulated scanner. The
' argument names the scanner and with it the part of the suite that runs:
'   worked_example  devices/worked_example.json: port 3, identifier 0123456789ABCDEF,
'                   version ABCD1234, clock 13:53:57 on 1 May 2009, two barcodes (the data
'                   of the export examples); every member of the interface
'   overflow        a scanner that holds 40,000 barcodes, more than the 16-bit count takes
'   long_delimiter  a scanner that holds 4,000 barcodes, for a delimited text too long
'   demo            the simulated library's built-in scanner (no device file)
'   lets            devices/worked_example.json: every let given a value the ways scripts
'                   give one, and what the platform makes of values of other types
'
' Wine's VBScript has no Execute, GetRef, Eval, Join, ChrW or AscW, and its "=" on
' strings does not see past a NUL character: errors are caught inline, texts compared
' with SameText. The last line is the result line the harness reads; the exit code is
' the failure count.
Option Explicit

Const hello_text = "Clicker control successfully installed"
Dim passed, failed, o
passed = 0
failed = 0

Sub Check(ok, what)
  If ok Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAILED: " & what
  End If
End Sub

' Checks the error the statement before it raised (under On Error Resume Next).
Sub ExpectError(number, what)
  Check Err.Number = number, what & ": error " & Err.Number & " (" & Err.Description & "), expected " & number
  If number <> 0 Then Check Err.Source = "VKDClicker.Clicker", what & ": error source " & Err.Source
  Err.Clear
End Sub

Function SameText(a, b)
  Dim i
  SameText = False
  If Len(a) <> Len(b) Then Exit Function
  For i = 1 To Len(a)
    If Asc(Mid(a, i, 1)) <> Asc(Mid(b, i, 1)) Then Exit Function
  Next
  SameText = True
End Function

Sub CheckText(actual, expected, what)
  Check SameText(actual, expected), what & ": """ & actual & """ (" & Len(actual) & " characters)"
End Sub

Function Matches(text, pattern)
  Dim expression
  Set expression = New RegExp
  expression.Pattern = pattern
  Matches = expression.Test(text)
End Function

Sub CheckLog(pattern, what)
  Check Matches(o.log, pattern), what & ": log " & o.log
End Sub

' An attempt entry of the port search: port, time of day, result.
Function Attempt(port, result)
  Attempt = ":" & Right("0" & port, 2) & "\d{6}\*" & result
End Function

Sub WorkedExample()
  Dim x, status_text, expected
  Set o = CreateObject("VKDClicker.Clicker")

  ' --- a new object ---------------------------------------------------------------------
  Check o.hello = hello_text And TypeName(o.hello) = "String", "hello"
  Check o.comport = 0 And TypeName(o.comport) = "Integer", "comport 0, an Integer"
  Check o.num_barcodes = 0 And TypeName(o.num_barcodes) = "Integer", "num_barcodes 0"
  Check o.length_alldata2 = 0 And TypeName(o.length_alldata2) = "Long", "length_alldata2 0, a Long"
  Check o.get_barcode = 0 And TypeName(o.get_barcode) = "Integer", "get_barcode 0"
  Check TypeName(o.open_ok) = "Boolean" And Not o.open_ok And Not o.empty_ok And Not o.timechange_ok, "flags False"
  Check TypeName(o.serial) = "String" And Len(o.serial) = 0, "serial empty"
  Check Len(o.log) = 0, "log empty"
  CheckText o.SwVersion, String(8, Chr(0)), "SwVersion of a new object"

  On Error Resume Next
  x = o.sbarcode
  ExpectError 9, "sbarcode on a new object"
  x = o.stime
  ExpectError 9, "stime on a new object"
  x = o.stype
  ExpectError 9, "stype on a new object"
  o.get_barcode = -1
  ExpectError 0, "get_barcode takes any index"
  o.get_barcode = 0
  o.newparams = Null
  ExpectError 13, "newparams = Null"
  o.cur_clicker_params = Null
  ExpectError 13, "cur_clicker_params = Null"
  o.newparams = Array(1, 2)
  ExpectError 13, "newparams = an array"
  o.close_clicker
  o.close_clicker
  ExpectError 0, "close_clicker twice"
  On Error GoTo 0

  ' --- no port known ---------------------------------------------------------------------
  o.EmptyScanner
  Check o.log = "ENSP" And Not o.open_ok And Not o.empty_ok, "EmptyScanner without a port: ENSP"
  o.reset_params
  Check o.log = "ENSP" And Not o.open_ok, "reset_params without a port changes nothing but open_ok"
  ' showparams addresses port 0, where nothing answers: the placeholders of the status.
  o.cur_clicker_params = "05"
  CheckText o.showparams, "05::0x??:0x????:ABCD1234" & String(2, Chr(0)) & ":0x????:0x????", "showparams with no scanner"
  On Error Resume Next
  o.cur_clicker_params = Null
  ExpectError 13, "cur_clicker_params = Null again"
  On Error GoTo 0
  CheckText Left(o.showparams, 3), "05:", "a refused list leaves the previous one"

  ' --- ports that are not numbers -----------------------------------------------------------
  On Error Resume Next
  o.lastport = "abc"
  o.open_clicker
  ExpectError 13, "open_clicker with lastport ""abc"""
  Check Len(o.log) = 0 And o.comport = 999 And Not o.open_ok, "nothing searched: empty log, comport 999"
  o.lastport = Null
  o.open_clicker
  ExpectError 13, "open_clicker with lastport Null"
  o.lastport = 1E10
  o.open_clicker
  ExpectError 13, "open_clicker with lastport beyond 32 bits"
  o.lastport = ""
  o.EmptyScanner
  ExpectError 13, "EmptyScanner with lastport """""
  Check Len(o.log) = 0, "the log stays as it was"
  On Error GoTo 0

  ' --- the port search and the download ----------------------------------------------------
  o.lastport = Empty
  o.open_clicker
  CheckLog "^OPOK" & Attempt(0, -1) & Attempt(1, -1) & Attempt(2, -1) & Attempt(3, 0) & "\*0\*2$", "search from port 0"
  Check o.comport = 3 And o.open_ok And o.num_barcodes = 2, "found on port 3 with 2 barcodes"
  CheckText o.serial, "0123456789ABCDEF", "serial"
  CheckText o.SwVersion, "ABCD1234", "SwVersion"

  o.get_barcode = 1
  CheckText o.sbarcode, "8712345678906", "barcode 1"
  Check VarType(o.stime) = vbDate And o.stime = DateSerial(2009, 5, 1) + TimeSerial(13, 45, 2), "time of barcode 1"
  Check VarType(o.stype) = vbInteger And o.stype = 3, "type of barcode 1"
  o.get_barcode = 2
  CheckText o.sbarcode, "12345678", "barcode 2"
  Check o.stime = DateSerial(2009, 5, 1) + TimeSerial(13, 46, 10) And o.stype = 11, "time and type of barcode 2"
  o.get_barcode = 0
  Check Len(o.sbarcode) = 0 And CDbl(o.stime) = 0 And IsEmpty(o.stype), "entry 0 is never filled"
  On Error Resume Next
  o.get_barcode = 3
  x = o.sbarcode
  ExpectError 9, "sbarcode past the last barcode"
  o.get_barcode = -1
  x = o.stype
  ExpectError 9, "stype at -1"
  On Error GoTo 0

  ' --- the exports ---------------------------------------------------------------------------
  expected = "V01" & "0123456789ABCDEF" & "H" & "575313010509" & "0002" & _
             "001" & "8712345678906" & "03" & "20090501134502" & _
             "002" & "12345678     " & "11" & "20090501134610"
  CheckText o.alldata, expected, "alldata"
  expected = "DL;V03;ABCD1234;0123456789ABCDEF;H;20090501135357;2;BC;1;20090501134502;3;13;8712345678906;" & _
             "BC;2;20090501134610;11;8;12345678"
  CheckText o.alldata2, expected, "alldata2"
  Check o.length_alldata2 = 124, "length_alldata2 124"
  o.pdelimiter = "||"
  x = o.alldata2
  Check Left(x, 19) = "DL||V03||ABCD1234||" And Right(x, 13) = "||8||12345678" And o.length_alldata2 = 142, _
        "alldata2 with the delimiter ||: " & x
  o.pdelimiter = ""
  Check o.length_alldata2 = 142, "a new delimiter takes effect at the next read"
  Check Len(o.alldata2) = 124, "an empty delimiter is ;"

  ' --- where the search starts ---------------------------------------------------------------
  o.lastport = "3"
  o.open_clicker
  CheckLog "^OPOK" & Attempt(3, 0) & "\*0\*2$", "lastport ""3"" behaves as 3"
  o.lastport = 5
  o.open_clicker
  expected = "^OPOK"
  For x = 5 To 15
    expected = expected & Attempt(x, -1)
  Next
  expected = expected & Attempt(0, -1) & Attempt(1, -1) & Attempt(2, -1) & Attempt(3, 0) & "\*0\*2$"
  CheckLog expected, "lastport 5: 5 to 15, then 0 to 3"

  ' --- emptying, with the clock set ----------------------------------------------------------
  o.lastport = 3
  o.pnewdatetime = "591523311299"
  o.EmptyScanner
  CheckLog "^CLOK:01:OPOK" & Attempt(3, 0) & ":SetTime:591523311299:0:01::TimeOK::0$", "EmptyScanner with a clock text"
  Check o.open_ok And o.empty_ok And o.timechange_ok And o.num_barcodes = 2, "emptied, clock accepted, count before erasing"
  o.pnewdatetime = ""
  o.open_clicker
  Check o.num_barcodes = 0 And o.open_ok, "the scanner is empty"
  o.get_barcode = 1
  CheckText o.sbarcode, "8712345678906", "an empty download leaves the records of the last one"
  CheckText o.alldata, "V010123456789ABCDEFH5915233112990000", "alldata of an empty scanner, its clock as set"
  CheckText o.alldata2, "DL;V03;ABCD1234;0123456789ABCDEF;H;19991231231559;0", "alldata2 of an empty scanner"
  o.pnewdatetime = "003024310499"
  o.EmptyScanner
  CheckLog "^CLOK:01:OPOK" & Attempt(3, 0) & ":0$", "31 April is not sent"
  Check o.empty_ok And Not o.timechange_ok, "timechange_ok False for an impossible date"
  o.pnewdatetime = ""

  ' --- parameters ---------------------------------------------------------------------------
  o.newparams = "0201051203"
  o.reset_params
  CheckLog "^CLOK:01:OPOK" & Attempt(3, 0) & ":0$", "reset_params empties the scanner first"
  status_text = "0x4:0x0:ABCD1234" & String(2, Chr(0)) & ":0x0:0x1"
  o.cur_clicker_params = "020112"
  CheckText o.showparams, "020105" & "1203" & ":" & status_text, "showparams reads what reset_params wrote"
  o.cur_clicker_params = 42
  CheckText o.showparams, "42:" & status_text, "a number as the list is its decimal text"
End Sub

' Every operation that stores the count fails with the overflow error, 6, and nothing
' else goes wrong.
Sub Overflow()
  Dim x
  Set o = CreateObject("VKDClicker.Clicker")
  o.lastport = 3
  On Error Resume Next
  o.open_clicker
  ExpectError 6, "open_clicker"
  CheckLog "^" & Attempt(3, 0) & "$", "the attempt entry is logged, no outcome marker"
  Check o.comport = 999 And Not o.open_ok And o.num_barcodes = 0, "no port accepted, the count not stored"
  x = o.alldata2
  ExpectError 6, "alldata2"
  Check o.length_alldata2 = 0, "length_alldata2 unchanged"
  x = o.alldata
  ExpectError 6, "alldata"
  o.EmptyScanner
  ExpectError 6, "EmptyScanner"
  CheckLog "^" & Attempt(3, 0) & "$", "EmptyScanner: the open entry is logged"
  Check Not o.empty_ok, "nothing emptied"
  o.close_clicker
  ExpectError 0, "close_clicker afterwards"
  On Error GoTo 0
End Sub

' Six delimiters of 100,000 characters per barcode make a delimited text of 2.4 billion
' characters, more than a String holds: alldata2 fails with the overflow error, 6, at
' once, and the scanner's data are there to read record by record.
Sub LongDelimiter()
  Dim x
  Set o = CreateObject("VKDClicker.Clicker")
  o.lastport = 3
  o.pdelimiter = String(100000, "|")
  On Error Resume Next
  x = o.alldata2
  ExpectError 6, "alldata2 of 2.4 billion characters"
  On Error GoTo 0
  Check o.length_alldata2 = 0, "length_alldata2 unchanged"
  Check o.open_ok And o.num_barcodes = 4000, "the scanner answered with its 4,000 barcodes"
  o.get_barcode = 4000
  Check o.sbarcode = "8712345678906", "the last barcode"
End Sub

' The contents of the built-in scanner belong to the simulator: only their shape is
' checked.
Sub DemoScanner()
  Dim i, text
  Set o = CreateObject("VKDClicker.Clicker")
  Check o.hello = hello_text, "hello"
  o.open_clicker
  Check o.open_ok And o.comport = 3 And o.num_barcodes > 0, "the demo scanner answers on port 3 with barcodes"
  Check Matches(o.serial, "^[0-9A-F]{16}$"), "serial: 16 hexadecimal digits, " & o.serial
  CheckLog "^OPOK(:0[0-2]\d{6}\*-?\d+)*" & Attempt(3, 0) & "\*\d+\*\d+$", "search"
  For i = 1 To o.num_barcodes
    o.get_barcode = i
    Check Len(o.sbarcode) > 0 And VarType(o.stime) = vbDate And VarType(o.stype) = vbInteger, "record " & i
  Next
  text = o.alldata2
  Check Len(text) = o.length_alldata2 And Left(text, 7) = "DL;V03;", "alldata2"
End Sub

' --- lets, given values the ways scripts give them -------------------------------------
' A variable or an array element reaches the object by reference, a function result or an
' expression by value. Each way sets all six lets with values of its own, and what each
' let stored is then read back through the scanner.
Dim way_values  ' of the way at hand: port, index, list to write, list to read, clock text, delimiter

Function LetValue(i)
  LetValue = way_values(i)
End Function

Sub FromVariables()
  Dim port, index, list, shown, clock, delimiter
  port = way_values(0): index = way_values(1): list = way_values(2): shown = way_values(3): clock = way_values(4): delimiter = way_values(5)
  o.lastport = port
  o.get_barcode = index
  o.newparams = list
  o.cur_clicker_params = shown
  o.pnewdatetime = clock
  o.pdelimiter = delimiter
End Sub

Sub FromArrayElements()
  o.lastport = way_values(0)
  o.get_barcode = way_values(1)
  o.newparams = way_values(2)
  o.cur_clicker_params = way_values(3)
  o.pnewdatetime = way_values(4)
  o.pdelimiter = way_values(5)
End Sub

Sub ThroughParameters(ByRef port, ByRef index, ByRef list, ByRef shown, ByRef clock, ByRef delimiter)
  o.lastport = port
  o.get_barcode = index
  o.newparams = list
  o.cur_clicker_params = shown
  o.pnewdatetime = clock
  o.pdelimiter = delimiter
End Sub

Sub FromByRefParameters()
  Dim port, index, list, shown, clock, delimiter
  port = way_values(0): index = way_values(1): list = way_values(2): shown = way_values(3): clock = way_values(4): delimiter = way_values(5)
  ThroughParameters port, index, list, shown, clock, delimiter
End Sub

Sub FromFunctionResults()
  o.lastport = LetValue(0)
  o.get_barcode = LetValue(1)
  o.newparams = LetValue(2)
  o.cur_clicker_params = LetValue(3)
  o.pnewdatetime = LetValue(4)
  o.pdelimiter = LetValue(5)
End Sub

Sub FromExpressions()
  o.lastport = way_values(0) + 0
  o.get_barcode = way_values(1) & ""
  o.newparams = Left(way_values(2) & "  ", 2)
  o.cur_clicker_params = "" & way_values(3)
  o.pnewdatetime = Left(way_values(4), 6) & Mid(way_values(4), 7)
  o.pdelimiter = way_values(5) & ""
End Sub

Sub Lets()
  Dim ways, indexes, w, x, array_value
  ways = Array("variables", "array elements", "ByRef parameters", "function results", "expressions")
  indexes = Array(1, "2", 3, "4", 5)
  Set o = CreateObject("VKDClicker.Clicker")
  For w = 0 To UBound(ways)
    ' Some ways give the index as a text: get_barcode converts it like a number.
    way_values = Array(3, indexes(w), "00", "0" & w, "0030091505" & (20 + w), "|" & w)
    Select Case w
      Case 0: FromVariables
      Case 1: FromArrayElements
      Case 2: FromByRefParameters
      Case 3: FromFunctionResults
      Case 4: FromExpressions
    End Select
    Check o.get_barcode = w + 1 And TypeName(o.get_barcode) = "Integer", ways(w) & ": get_barcode " & o.get_barcode
    ' reset_params empties the scanner on lastport with the clock text, then reads the
    ' count of the list "00": nothing to write, no error.
    On Error Resume Next
    o.reset_params
    ExpectError 0, ways(w) & ": reset_params"
    On Error GoTo 0
    CheckLog "^CLOK:01:OPOK" & Attempt(3, 0) & ":SetTime:" & way_values(4) & ":0:01::TimeOK:", ways(w) & ": lastport and pnewdatetime"
    ' A list of two characters reads no parameter, only the status of lastport's scanner.
    CheckText Left(o.showparams, 7), way_values(3) & ":0x4:", ways(w) & ": cur_clicker_params"
    CheckText Left(o.alldata2, 9), "DL" & way_values(5) & "V03" & way_values(5), ways(w) & ": pdelimiter"
  Next

  ' A number for a text becomes the platform's own text, as CStr writes it.
  For Each x In Array(CCur(123456789012.3456), CSng(16777216), True, DateSerial(2007, 5, 17) + TimeSerial(14, 30, 12), 7)
    o.pdelimiter = x
    CheckText Mid(o.alldata2, 3, Len(CStr(x))), CStr(x), TypeName(x) & " as the delimiter"
  Next
  CheckText CStr(CCur(123456789012.3456)) & CStr(CSng(16777216)), "123456789012.34561.677722E+07", "the script's own CStr"

  ' What has no value of the let's type is refused with 13 and changes nothing.
  o.get_barcode = 2
  o.pdelimiter = "#"
  array_value = Array("|")
  On Error Resume Next
  o.get_barcode = "abc"
  ExpectError 13, "get_barcode = ""abc"""
  o.get_barcode = "40000"
  ExpectError 6, "get_barcode = ""40000"""
  o.get_barcode = 40000
  ExpectError 6, "get_barcode = 40000"
  o.get_barcode = Null
  ExpectError 13, "get_barcode = Null"
  o.get_barcode = array_value
  ExpectError 13, "get_barcode = an array"
  o.pdelimiter = Null
  ExpectError 13, "pdelimiter = Null"
  o.pdelimiter = array_value
  ExpectError 13, "pdelimiter = an array"
  o.pnewdatetime = Null
  ExpectError 13, "pnewdatetime = Null"
  o.cur_clicker_params = array_value
  ExpectError 13, "cur_clicker_params = an array"
  On Error GoTo 0
  Check o.get_barcode = 2, "get_barcode unchanged: " & o.get_barcode
  CheckText Left(o.alldata2, 7), "DL#V03#", "pdelimiter unchanged"
End Sub

If WScript.Arguments.Count <> 1 Then
  Check False, "the scanner to test: worked_example, overflow, long_delimiter, demo or lets"
Else
  Select Case WScript.Arguments(0)
    Case "worked_example": WorkedExample
    Case "overflow": Overflow
    Case "long_delimiter": LongDelimiter
    Case "demo": DemoScanner
    Case "lets": Lets
    Case Else: Check False, "no such scanner: " & WScript.Arguments(0)
  End Select
End If

WScript.Echo "RESULT: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
