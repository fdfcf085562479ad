' SPDX-License-Identifier: MIT
'
' Failures as a page sees them, run by scripts/test-com.sh with a settings
' file it prepared:  cscript //nologo errors.vbs CASE SECRET
'   dead-port: every session fails with -504, never raised.
'   bad-port:  the port is not a number: the call raises 13 (Type
'              mismatch) and the properties keep their earlier values.
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
  Case "bad-port"
    On Error Resume Next
    Dim port
    port = wg.GetLocalPort()
    Check "GetLocalPort raises " & Err.Number & " " & Err.Description, Err.Number = 13
    Err.Clear
    wg.UserIDExists WScript.Arguments(1), "bob"
    Check "command raises " & Err.Number & " " & Err.Description, _
          Err.Number = 13 And Err.Description = "Type mismatch"
    Err.Clear
    Check "properties kept", wg.error_number = 0 And wg.error_description = "" And wg.answer_long = 0
End Select

WScript.Echo "DONE"
If failures > 0 Then WScript.Quit 1
WScript.Quit 0
