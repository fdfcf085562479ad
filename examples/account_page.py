#!/usr/bin/python3
# SPDX-License-Identifier: MIT

"""A minimal web page that shows a user's credits and classes, as a WSGI
application on the standard library's wsgiref server. It has no sign-in:
serve it on loopback only. The account console (web/, scripts/console.sh)
is the full tool, with sign-in and changes.

    WINDIR=/path/to/settings PYTHONPATH=build/python \\
        WG_SECRET=... examples/account_page.py --port 8080
    open http://127.0.0.1:8080/?user=Sysop

The secret phrase comes from the environment variable WG_SECRET, never from
the page's URL. Each request creates its own WG, as the script pages of the
original system did; the threaded server runs requests side by side because
WG releases the interpreter lock while it waits on the network.
"""

import argparse
import html
import os
import socketserver
from urllib.parse import parse_qs
from wsgiref.simple_server import WSGIServer, make_server

import morvane

# Short socket timeouts: a silent host should cost a page seconds, not minutes.
CONNECT_TIMEOUT = 2
RECEIVE_TIMEOUT = 3
# Result codes after which no other call of the page can open a session.
SESSION_FAILURES = {morvane.Result.SERVER_BUSY, morvane.Result.OUT_OF_SYNC,
                    morvane.Result.WRONG_SECRET, morvane.Result.NO_CONNECTION,
                    morvane.Result.BAD_COMMUNICATION}


def account_page(environ, start_response):
    if environ.get("PATH_INFO", "/") not in ("", "/"):
        start_response("404 Not Found", [("Content-Type", "text/plain; charset=utf-8")])
        return [b"Not found\n"]
    user = parse_qs(environ.get("QUERY_STRING", "")).get("user", [""])[0]
    secret = os.environ.get("WG_SECRET", "")
    rows = []
    if user:
        wg = morvane.WG()
        try:
            for label, call in (("Credits", wg.NumberofCredits), ("Days", wg.NumberOfDays),
                                ("Primary class", wg.PrimaryClass),
                                ("Current class", wg.CurrentClass)):
                result = call(secret, user)
                if result.error_object.number in SESSION_FAILURES:
                    rows.append(("Error", result.error_object.description))
                    break  # the other calls would wait and fail the same way
                if result.error_object.number != 0:
                    value = result.error_object.description
                else:
                    value = result.string_value if "class" in label else result.long_value
                rows.append((label, value))
        except morvane.PlatformError as error:
            rows.append(("Error", f"{error.number}: {error.description}"))
    body = "".join(f"<tr><th>{html.escape(k)}</th><td>{html.escape(str(v))}</td></tr>"
                   for k, v in rows)
    page = (f"<!doctype html><title>Account {html.escape(user)}</title>"
            f"<form><input name=user value='{html.escape(user, quote=True)}'>"
            f"<button>Show</button></form><table>{body}</table>")
    start_response("200 OK", [("Content-Type", "text/html; charset=utf-8")])
    return [page.encode("utf-8")]


class ThreadedServer(socketserver.ThreadingMixIn, WSGIServer):
    daemon_threads = True


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--port", type=int, default=8080)
    args = parser.parse_args()
    morvane.set_socket_timeouts(connect=CONNECT_TIMEOUT, receive=RECEIVE_TIMEOUT)
    with make_server("127.0.0.1", args.port, account_page, server_class=ThreadedServer) as server:
        print(f"serving on http://127.0.0.1:{args.port}/")
        server.serve_forever()
