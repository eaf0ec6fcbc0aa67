' The checks' tally as the Wine harness reads it, last. The checks before it run first; the
' declarations here count from the start, as every declaration of a script does.
Dim passed, failed
Sub Check(condition, what)
  If condition Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAILED: " & what
  End If
End Sub
WScript.Echo "RESULT: " & CLng(passed) & " passed, " & CLng(failed) & " failed"
WScript.Quit CLng(failed)
