// SPDX-License-Identifier: MIT
//
// A script page's view of the account console's JSON API, in plain Node.js
// (the built-in fetch, no packages): looks a user up and gives credits.
//
//   CONSOLE_URL=http://127.0.0.1:8080 CONSOLE_TOKEN=... \
//     nodejs examples/node/account_client.mjs "Alice Smith" 25
//
// Prints the user's credits before and after, and exits non-zero when the
// console or the host refused.

const base = (process.env.CONSOLE_URL || "http://127.0.0.1:8080").replace(/\/$/, "");
const token = process.env.CONSOLE_TOKEN;
const [user, amountText = "1"] = process.argv.slice(2);

// One API call: the answer's JSON, or an Error that says what went wrong,
// with the host's result code when there is one.
async function call(method, path, body) {
  const response = await fetch(`${base}/api/v1${path}`, {
    method,
    headers: { Authorization: `Bearer ${token}`, "Content-Type": "application/json" },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json();
  if (!response.ok) {
    const code = answer.command_return ? answer.command_return.error_number : answer.error_number;
    throw new Error(`${method} ${path}: HTTP ${response.status}: ${answer.message || answer.error}` +
                    (code != null ? ` (result ${code})` : ""));
  }
  return answer;
}

async function main() {
  if (!token || !user) {
    console.error("usage: CONSOLE_TOKEN=... nodejs account_client.mjs USER [CREDITS]");
    process.exit(2);
  }
  const path = `/users/${encodeURIComponent(user)}`;
  const before = await call("GET", path);
  console.log(`${user}: ${before.fields.credits.answer_long} credits`);
  const given = await call("POST", `${path}/credits`, { amount: Number(amountText) });
  console.log(given.message);
  const after = await call("GET", path);
  console.log(`${user}: ${after.fields.credits.answer_long} credits`);
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
