' The per-record cost of the component's late-bound accessors against the same call shape
' on the platform's Scripting.Dictionary, both in this one script run, by turns:
'   cscript //nologo late_bound_calls.vbs RUNS
' The scanner (the simulated library's, from CSP2A_DEVICE) holds the records. Each run
' reads every record once through the component (get_barcode = i, then sbarcode, stime,
' stype) and makes as many rounds of one Item let and three Count reads on a Dictionary;
' which of the two goes first alternates from run to run. One line per run:
'   run <n>: clicker <us> us, dictionary <us> us, ratio <r>
' then the median of the ratios.
Option Explicit

Dim runs : runs = CInt(WScript.Arguments(0))
Dim k : Set k = CreateObject("VKDClicker.Clicker")
k.lastport = 3
k.open_clicker
If Not k.open_ok Then
  WScript.Echo "no scanner: " & k.log
  WScript.Quit 1
End If
Dim records : records = k.num_barcodes
Dim d : Set d = CreateObject("Scripting.Dictionary")
d.Item("a") = 0

' Timer counts seconds since midnight; a run that crosses midnight would count a day less.
Function Elapsed(started)
  Elapsed = Timer - started
  If Elapsed < 0 Then Elapsed = Elapsed + 86400
End Function

Function ClickerSeconds()
  Dim started, i, b, t, y
  started = Timer
  For i = 1 To records
    k.get_barcode = i
    b = k.sbarcode
    t = k.stime
    y = k.stype
  Next
  ClickerSeconds = Elapsed(started)
End Function

Function DictionarySeconds()
  Dim started, i, b, t, y
  started = Timer
  For i = 1 To records
    d.Item("a") = i
    b = d.Count
    t = d.Count
    y = d.Count
  Next
  DictionarySeconds = Elapsed(started)
End Function

Function Micro(seconds)
  Micro = FormatNumber(seconds * 1000000 / records, 2, True, False, False)
End Function

' Wine's VBScript has no ReDim outside a procedure: room for up to 99 runs.
Dim ratios(98)
If runs < 1 Or runs > 99 Then
  WScript.Echo "from 1 to 99 runs"
  WScript.Quit 1
End If
Dim run, ours, theirs
For run = 0 To runs - 1
  If run Mod 2 = 0 Then
    ours = ClickerSeconds() : theirs = DictionarySeconds()
  Else
    theirs = DictionarySeconds() : ours = ClickerSeconds()
  End If
  ratios(run) = ours / theirs
  WScript.Echo "run " & (run + 1) & ": clicker " & Micro(ours) & " us, dictionary " & Micro(theirs) & _
               " us, ratio " & FormatNumber(ratios(run), 2, True, False, False)
Next

' The median, by sorting the few ratios in place.
Dim i, j, swap
For i = 0 To runs - 2
  For j = i + 1 To runs - 1
    If ratios(j) < ratios(i) Then swap = ratios(i) : ratios(i) = ratios(j) : ratios(j) = swap
  Next
Next
Dim median
If runs Mod 2 = 1 Then median = ratios(runs \ 2) Else median = (ratios(runs \ 2 - 1) + ratios(runs \ 2)) / 2
WScript.Echo "records " & records & ", median ratio " & FormatNumber(median, 2, True, False, False)
