' SPDX-License-Identifier: MIT
'
' Failures as a page sees them, run by scripts/test-com.sh with a settings
' file it prepared:  cscript //nologo errors.vbs CASE SECRET
'   dead-port: every session fails with -504, never raised.
'   raise:     the settings cannot be used (a port that is not a number, a
'              directory in place of the file): GetLocalPort and a command
'              raise; prints "RAISED number|description" of each for the
'              runner to compare with the Linux tool. The properties keep
'              the values they had.
Option Explicit
Dim wg, failures
Set wg = CreateObject("Morvane.WG")
failures = 0

Sub Check(label, condition)
  If condition Then
    WScript.Echo "PASS " & label
  Else
    WScript.Echo "FAIL " & label
    failures = failures + 1
  End If
End Sub

Select Case WScript.Arguments(0)
  Case "dead-port"
    wg.GiveCredits WScript.Arguments(1), "bob", 50
    Check "dead port: " & wg.error_number & " " & wg.error_description, _
          wg.error_number = -504 And wg.error_description = "Unable to open socket connection to server" _
          And wg.answer_long = 0 And wg.answer_string = "Error"
  Case "raise"
    On Error Resume Next
    Dim port
    port = wg.GetLocalPort()
    WScript.Echo "RAISED " & Err.Number & "|" & Err.Description
    Check "GetLocalPort raised", Err.Number <> 0
    Err.Clear
    wg.UserIDExists WScript.Arguments(1), "bob"
    WScript.Echo "RAISED " & Err.Number & "|" & Err.Description
    Check "UserIDExists raised", Err.Number <> 0
    Err.Clear
    Check "properties kept", wg.error_number = 0 And wg.error_description = "" And _
          wg.answer_long = 0 And wg.answer_string = ""
End Select

WScript.Echo "DONE"
If failures > 0 Then WScript.Quit 1
WScript.Quit 0
