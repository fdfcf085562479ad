' SPDX-License-Identifier: MIT
' Gives bob 50 credits and shows what the host answered.
'   cscript //nologo credits.vbs SECRET
Set wg = CreateObject("Morvane.WG")
wg.GiveCredits WScript.Arguments(0), "bob", 50
WScript.Echo "error_number:      " & wg.error_number
WScript.Echo "error_description: " & wg.error_description
WScript.Echo "answer_long:       " & wg.answer_long
WScript.Echo "answer_string:     " & wg.answer_string
