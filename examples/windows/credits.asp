<%@ Language="VBScript" %>
<%
' SPDX-License-Identifier: MIT
' The credits of one account. Keep the secret phrase out of the page in a
' real site (an application variable set in global.asa, for example).
Option Explicit
Dim wg, secret, userid
secret = Application("MorvaneSecret")
userid = Request.QueryString("userid")
Set wg = Server.CreateObject("Morvane.WG")
wg.NumberofCredits secret, userid
%>
<html><body>
<% If wg.error_number = 0 Then %>
  <p><%= Server.HTMLEncode(userid) %> has <%= wg.answer_long %> credits.</p>
<% Else %>
  <p>Error <%= wg.error_number %>: <%= Server.HTMLEncode(wg.error_description) %></p>
<% End If %>
</body></html>
