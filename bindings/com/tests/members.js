// SPDX-License-Identifier: MIT
//
// The same object from JScript: run by scripts/test-com.sh as
//   cscript //nologo members.js SECRET
var wg = new ActiveXObject("Morvane.WG");
var secret = WScript.Arguments(0);
var failures = 0;
function check(label, condition) {
  WScript.Echo((condition ? "PASS " : "FAIL ") + label);
  if (!condition) failures++;
}
var rows = [
  ["UserIDExists", ["Alice Smith"], 0, 1],
  ["NumberofCredits", ["Alice Smith"], 0, 1200],
  ["AuthUser", ["Alice Smith", "guess"], 0, 0],
  // Text Windows-1252 can carry goes through; other text is refused with
  // -109 before anything is sent. (Wine's VBScript has no ChrW.)
  ["UserIDExists", ["Andr\u00e9"], 0, 0],
  ["UserIDExists", ["\u0416enya"], -109, 0]
];
for (var i = 0; i < rows.length; i++) {
  var row = rows[i];
  var args = [secret].concat(row[1]);
  // Members are named by a string, as late binding allows.
  if (args.length == 2) wg[row[0]](args[0], args[1]);
  else wg[row[0]](args[0], args[1], args[2]);
  check(row[0] + " -> " + wg.error_number + " " + wg.answer_long,
        wg.error_number == row[2] && wg.answer_long == row[3]);
}
check("GetLocalHost", wg.GetLocalHost() == "127.0.0.1");
WScript.Echo("DONE");
WScript.Quit(failures > 0 ? 1 : 0);
