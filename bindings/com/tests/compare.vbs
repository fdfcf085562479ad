' SPDX-License-Identifier: MIT
'
' One call and its four results on one line, for scripts/test-com.sh to
' compare with morvane --json:  cscript //nologo compare.vbs SECRET MEMBER ARG...
Set wg = CreateObject("Morvane.WG")
Set a = WScript.Arguments
Select Case a(1)
  Case "GiveCredits": wg.GiveCredits a(0), a(2), CLng(a(3))
  Case "NumberofCredits": wg.NumberofCredits a(0), a(2)
  Case "AuthUser": wg.AuthUser a(0), a(2), a(3)
  Case "HasKey": wg.HasKey a(0), a(2), a(3)
End Select
WScript.Echo wg.error_number & "|" & wg.error_description & "|" & wg.answer_long & "|" & wg.answer_string
