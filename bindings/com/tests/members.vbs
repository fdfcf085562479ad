' SPDX-License-Identifier: MIT
'
' Every member of Morvane.WG from VBScript, against a wgsim on 127.0.0.1
' serving a copy of examples/accounts.txt. Run by scripts/test-com.sh:
'   cscript //nologo members.vbs SECRET
' Each row: member, its arguments after the secret phrase, then the
' error_number and answer_long it must leave. "PASS"/"FAIL" lines; the
' runner fails on any FAIL.
Option Explicit

Dim wg, secret, failures, row
Set wg = CreateObject("Morvane.WG")
secret = WScript.Arguments(0)
failures = 0

Sub Check(label, condition)
  If condition Then
    WScript.Echo "PASS " & label
  Else
    WScript.Echo "FAIL " & label
    failures = failures + 1
  End If
End Sub

' Wine's VBScript has no Join.
Function Joined(values)
  Dim value
  Joined = ""
  For Each value In values
    If Joined <> "" Then Joined = Joined & "|"
    Joined = Joined & value
  Next
End Function

Function Shown()
  Shown = "(" & wg.error_number & ", """ & wg.error_description & """, " & wg.answer_long & _
          ", """ & wg.answer_string & """)"
End Function

' A fresh object reports 0, empty, 0, empty.
Check "fresh object", wg.error_number = 0 And wg.error_description = "" And _
      wg.answer_long = 0 And wg.answer_string = ""

' The commands, in the order of the interface, each called as a script
' page does (a statement with the secret phrase first), then the four
' properties read back.
Dim commands
commands = Array( _
  Array("UserIDExists", Array("Alice Smith"), 0, 1), _
  Array("UserIDExists", Array("Mallory"), 0, 0), _
  Array("AuthUser", Array("Alice Smith", "wonderland"), 0, 1), _
  Array("AuthUser", Array("Alice Smith", "guess"), 0, 0), _
  Array("GiveKey", Array("bob", "FORUMS"), 0, 1), _
  Array("HasKey", Array("bob", "FORUMS"), 0, 1), _
  Array("TakeKey", Array("bob", "FORUMS"), 0, 1), _
  Array("HasKey", Array("bob", "FORUMS"), 0, 0), _
  Array("GiveKey", Array("bob", "A-KEY-LONGER-THAN-15"), -102, 0), _
  Array("HasMaster", Array("Sysop"), 0, 1), _
  Array("HasMaster", Array("bob"), 0, 0), _
  Array("IsSuspended", Array("bob"), 0, 0), _
  Array("NumberofCredits", Array("Alice Smith"), 0, 1200), _
  Array("NumberOfDays", Array("Alice Smith"), 0, 90), _
  Array("LastLogin", Array("Alice Smith"), 0, 20240608), _
  Array("CreationDate", Array("Alice Smith"), 0, 20210415), _
  Array("PrimaryClass", Array("Alice Smith"), 0, 0), _
  Array("CurrentClass", Array("Alice Smith"), 0, 0), _
  Array("UserOnline", Array("Sysop"), 0, 1), _
  Array("UserOnline", Array("bob"), 0, 0), _
  Array("GiveCredits", Array("bob", 50), 0, 1), _
  Array("GiveDays", Array("bob", -100000), -105, 0), _
  Array("GiveDays", Array("bob", 30), 0, 1), _
  Array("SystemVariable", Array(3), 0, 37), _
  Array("SwitchClass", Array("bob", "PAYING"), 0, 1), _
  Array("SwitchClass", Array("bob", "GOLD"), -107, 0), _
  Array("DeleteUser", Array("Sysop"), -108, 0), _
  Array("DeleteUser", Array("bob"), 0, 1), _
  Array("UnDeleteUser", Array("bob"), 0, 1), _
  Array("SuspendUser", Array("bob"), 0, 1), _
  Array("IsSuspended", Array("bob"), 0, 1), _
  Array("UnSuspendUser", Array("bob"), 0, 1), _
  Array("UpdateUserField", Array("bob", 1, "Fieldwork"), 0, 1), _
  Array("AuditMessage", Array("Script test: bob moved to PAYING"), 0, 1), _
  Array("NumberofCredits", Array("No Such Person"), -101, -1))

' Wine's VBScript has no Execute, so the command is picked by its name
' here; the arguments are variables, as a page passes its own.
Sub CallCommand(name, a1, a2, a3)
  Select Case name
    Case "UserIDExists": wg.UserIDExists secret, a1
    Case "AuthUser": wg.AuthUser secret, a1, a2
    Case "GiveKey": wg.GiveKey secret, a1, a2
    Case "TakeKey": wg.TakeKey secret, a1, a2
    Case "HasMaster": wg.HasMaster secret, a1
    Case "IsSuspended": wg.IsSuspended secret, a1
    Case "NumberofCredits": wg.NumberofCredits secret, a1
    Case "NumberOfDays": wg.NumberOfDays secret, a1
    Case "LastLogin": wg.LastLogin secret, a1
    Case "CreationDate": wg.CreationDate secret, a1
    Case "PrimaryClass": wg.PrimaryClass secret, a1
    Case "CurrentClass": wg.CurrentClass secret, a1
    Case "UserOnline": wg.UserOnline secret, a1
    Case "HasKey": wg.HasKey secret, a1, a2
    Case "GiveCredits": wg.GiveCredits secret, a1, a2
    Case "GiveDays": wg.GiveDays secret, a1, a2
    Case "SystemVariable": wg.SystemVariable secret, a1
    Case "SwitchClass": wg.SwitchClass secret, a1, a2
    Case "DeleteUser": wg.DeleteUser secret, a1
    Case "UnDeleteUser": wg.UnDeleteUser secret, a1
    Case "SuspendUser": wg.SuspendUser secret, a1
    Case "UnSuspendUser": wg.UnSuspendUser secret, a1
    Case "UpdateUserField": wg.UpdateUserField secret, a1, a2, a3
    Case "AuditMessage": wg.AuditMessage secret, a1
    Case Else: Check "no such command in the test: " & name, False
  End Select
End Sub

Dim args, p1, p2, p3
For Each row In commands
  args = row(1)
  p1 = args(0)
  p2 = Empty
  p3 = Empty
  If UBound(args) >= 1 Then p2 = args(1)
  If UBound(args) >= 2 Then p3 = args(2)
  CallCommand row(0), p1, p2, p3
  Check row(0) & " " & Joined(args) & " -> " & Shown(), _
        wg.error_number = row(2) And wg.answer_long = row(3) And _
        (wg.error_number = 0) = (InStr(wg.error_description, "No error occured") = 1)
Next

' The value queries that answer text.
wg.PrimaryClass secret, "Alice Smith"
Check "PrimaryClass text " & Shown(), wg.answer_string = "PAYING"

' A wrong secret phrase.
wg.NumberofCredits "not-the-phrase", "Alice Smith"
Check "wrong secret " & Shown(), wg.error_number = -503 And _
      wg.error_description = "Error Code -503: Incorrect secret phrase."

' Members that are not commands leave the properties alone.
Check "GetLocalHost", wg.GetLocalHost() = "127.0.0.1"
Check "GetRemoteHost", wg.GetRemoteHost() = "127.0.0.1"
Check "GetLocalPort", wg.GetLocalPort() > 0
Dim sock
Set sock = wg.InitWinsock()
Check "InitWinsock " & sock.Description, InStr(sock.Description, "127.0.0.1") > 0
Check "properties kept by the readers", wg.error_number = -503

' Logit replaces the variable it is given with the line it wrote.
Dim line
line = "hello"
wg.Logit line
Check "Logit replaced its argument: " & line, Right(line, 9) = " - hello" Or Right(line, 8) = " - hello"

' Names are found in any letter case.
wg.useridexists secret, "Alice Smith"
Check "case-blind names", wg.ANSWER_LONG = 1

' The versioned programmatic identifier names the same class.
Dim versioned
Set versioned = CreateObject("Morvane.WG.4")
Check "versioned ProgID", TypeName(versioned) = TypeName(wg)

WScript.Echo "DONE"
If failures > 0 Then WScript.Quit 1
WScript.Quit 0
