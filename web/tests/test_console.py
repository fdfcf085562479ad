# SPDX-License-Identifier: MIT

"""The console's routes through Flask's test client, against the simulator."""

import logging
import time
from urllib.parse import urlsplit

import pytest

import morvane
import tessaly_console
from conftest import (ADMIN, PASSWORD, csrf_of, free_silent_listener, post, write_settings)
from tessaly_console import __main__ as command_line
from tessaly_console import config as config_file
from tessaly_console import host as host_module
from tessaly_console import sessions, throttle


@pytest.mark.parametrize("method, path", [
    ("get", "/user?id=Sysop"), ("get", "/system?number=2"), ("get", "/"),
    ("post", "/user/change"), ("post", "/system/audit")])
def test_everything_but_signing_in_needs_an_administrator(app, wgsim, method, path):
    client = app.test_client()
    data = {"csrf": csrf_of(client), "user": "bob", "action": "credits", "amount": "5",
            "message": "hi"} if method == "post" else None
    response = getattr(client, method)(path, data=data)
    assert response.status_code == 302 and urlsplit(response.location).path == "/signin"
    assert "credits = 40\n" in wgsim.account("bob") and wgsim.audits() == ""


def test_sign_in_and_out(app, wgsim):
    client = app.test_client()
    for password in ("wrong", "also wrong"):
        response = client.post("/signin", data={"name": ADMIN, "password": password,
                                                "csrf": csrf_of(client)})
        assert response.status_code == 401 and b"name or the password is wrong" in response.data
    unknown = client.post("/signin", data={"name": "mallory", "password": PASSWORD,
                                           "csrf": csrf_of(client)})
    assert unknown.status_code == 401
    assert post(client, "/signin", name=ADMIN, password=PASSWORD).status_code == 302
    assert client.get("/user").status_code == 200
    assert post(client, "/signout").status_code == 302
    assert client.get("/user").status_code == 302


def cookie_of(client):
    return next(c for c in client.cookie_jar if c.name == "tessaly_console").value


def sign_out(app, path, client):
    post(client, "/signout")


def new_password(app, path, client):
    config_file.add_admin(path, ADMIN, "a new password")


def removal(app, path, client):
    config_file.remove_admin(path, ADMIN)


def restart(app, path, client):
    return tessaly_console.create_app(path)


def old_age(app, path, client):
    for record in app.extensions["tessaly_console"].sessions._sessions.values():
        record.since -= sessions.SESSION_SECONDS + 1


@pytest.mark.parametrize("end", [sign_out, new_password, removal, restart, old_age])
def test_a_session_ends_at_once_for_every_copy_of_its_cookie(app, client, windir, wgsim, end):
    captured = app.test_client()
    captured.set_cookie("localhost", "tessaly_console", cookie_of(client))
    assert captured.get("/user").status_code == 200
    served = end(app, windir / "console.ini", client) or app
    thief = served.test_client()
    thief.set_cookie("localhost", "tessaly_console", cookie_of(captured))
    assert thief.get("/user").status_code == 302
    response = thief.post("/user/change", data={"user": "bob", "action": "credits",
                                                "amount": "5", "csrf": csrf_of(thief)})
    assert response.status_code == 302 and "credits = 40\n" in wgsim.account("bob")


def test_a_new_password_counts_without_a_restart(app, windir):
    config_file.add_admin(windir / "console.ini", ADMIN, "a new password")
    client = app.test_client()
    assert post(client, "/signin", name=ADMIN, password=PASSWORD).status_code == 401
    assert post(client, "/signin", name=ADMIN, password="a new password").status_code == 302


def test_a_requested_page_survives_signing_in(app, wgsim):
    client = app.test_client()
    response = client.get("/user?id=Alice Smith")
    assert response.status_code == 302
    signin = client.get(response.location).get_data(as_text=True)
    assert 'name="next" value="/user?id=Alice' in signin
    for target, landing in [("/user?id=bob", "/user?id=bob"), ("//evil.example/", "/user"),
                            ("/\\evil.example/", "/user"), ("https://evil.example/", "/user")]:
        response = post(client, "/signin", name=ADMIN, password=PASSWORD, next=target)
        assert response.status_code == 302 and response.location == landing


def test_failed_sign_ins_are_answered_at_once_per_account_and_address(
        windir, make_config, monkeypatch, caplog):
    monkeypatch.setattr(throttle, "FREE_FAILURES_PER_ADDRESS",
                        throttle.FREE_FAILURES_PER_ACCOUNT + 1)
    caplog.set_level(logging.INFO)
    app = tessaly_console.create_app(make_config(), signin_wait=30)
    config_file.add_admin(windir / "console.ini", "bob", "builder")
    client = app.test_client()
    start = time.monotonic()
    for _ in range(throttle.FREE_FAILURES_PER_ACCOUNT):
        assert post(client, "/signin", name=ADMIN, password="guess").status_code == 401
    refused = post(client, "/signin", name=ADMIN, password=PASSWORD)
    assert refused.status_code == 429 and refused.headers["Retry-After"] == "30"
    assert b"Try again in 30 seconds" in refused.data
    # Another account from the same address is still let in, and its good
    # sign-in does not clear the address's count.
    assert post(client, "/signin", name="bob", password="builder").status_code == 302
    assert post(client, "/signin", name="carol", password="x").status_code == 401
    refused = post(client, "/signin", name="dave", password="x")
    assert refused.status_code == 429  # the address has had its free failures
    assert time.monotonic() - start < 10  # no failure made anyone wait
    assert "failed sign-in as 'alice' from 127.0.0.1" in caplog.text
    assert "bob signed in from 127.0.0.1" in caplog.text


@pytest.mark.parametrize("proxies, counted_apart", [("", False), ("127.0.0.1", True)])
def test_the_forwarded_address_counts_only_from_a_named_proxy(
        windir, make_config, monkeypatch, proxies, counted_apart):
    monkeypatch.setattr(throttle, "FREE_FAILURES_PER_ADDRESS", 2)
    app = tessaly_console.create_app(make_config(proxy_addresses=proxies))
    client = app.test_client()
    for number in range(3):
        response = client.post("/signin", headers={"X-Forwarded-For": f"10.0.0.{number}"},
                               data={"name": f"user{number}", "password": "x",
                                     "csrf": csrf_of(client)})
        assert response.status_code == (401 if counted_apart or number < 2 else 429)


@pytest.mark.parametrize("form", [
    {"user": "bob", "action": "credits", "amount": "5"},
    {"user": "bob", "action": "credits", "amount": "5", "csrf": ""},
    {"user": "bob", "action": "credits", "amount": "5", "csrf": "guessed"},
])
def test_changes_without_the_form_token_are_refused(client, wgsim, form):
    response = client.post("/user/change", data=form)
    assert response.status_code == 400
    assert "credits = 40\n" in wgsim.account("bob") and wgsim.audits() == ""


@pytest.mark.parametrize("form, account_has, flash", [
    ({"action": "credits", "amount": "60"}, "credits = 100", "Done: give 60 credits to bob."),
    ({"action": "days", "amount": "-2"}, "days = 3", "Done: give -2 days to bob."),
    ({"action": "class", "newclass": "PAYING"}, "current-class = PAYING", "Done: switch bob"),
    ({"action": "givekey", "key": "FORUMS"}, "keys = FORUMS", "Done: give key FORUMS"),
    ({"action": "suspend"}, "suspended = yes", "Done: suspend bob."),
    ({"action": "field", "field": "3", "newdata": "Builder & Co"}, "field 3 = Builder & Co",
     "Done: set field 3 of bob"),
    ({"action": "delete", "confirm": "yes"}, "deleted = yes", "Done: delete bob."),
])
def test_each_change_reaches_the_host_and_is_audited(client, wgsim, form, account_has, flash):
    response = post(client, "/user/change", user="bob", **form)
    assert response.status_code == 303
    assert account_has in wgsim.account("bob")
    assert f"Console: {ADMIN} did" in wgsim.audits()
    page = client.get(response.location).get_data(as_text=True)
    assert flash.replace("&", "&amp;") in page


@pytest.mark.parametrize("user, form, flash", [
    ("Carol", {"action": "unsuspend"}, "Done: unsuspend Carol."),
    ("Sysop", {"action": "takekey", "key": "FORUMS"}, "Done: take key FORUMS from Sysop."),
    ("Sysop", {"action": "haskey", "key": "MASTER"}, "Sysop holds key MASTER: yes."),
    ("Sysop", {"action": "delete", "confirm": "yes"}, "the user is protected (-108)"),
    ("nobody", {"action": "credits", "amount": "1"}, "there is no such user (-101)"),
    ("bob", {"action": "givekey", "key": "K" * 16}, "a key has at most 15 characters (-102)"),
    ("bob", {"action": "credits", "amount": "many"}, "is not a whole number"),
    ("bob", {"action": "field", "field": "40000", "newdata": "x"}, "is not a whole number"),
])
def test_outcomes_are_said_in_words(client, wgsim, user, form, flash):
    response = post(client, "/user/change", user=user, **form)
    assert flash in client.get(response.location).get_data(as_text=True)


def test_deleting_asks_first(client, wgsim):
    page = post(client, "/user/change", user="bob", action="delete")
    assert page.status_code == 200 and b"Are you sure?" in page.data
    assert b'name="confirm" value="yes"' in page.data
    assert "deleted" not in wgsim.account("bob") and wgsim.audits() == ""


def test_the_lookup_page_shows_the_account(client, wgsim):
    page = client.get("/user?id=Alice Smith").get_data(as_text=True)
    for label, value in [("Exists", "yes"), ("Suspended", "no"), ("Credits", "1200"),
                         ("Primary class", "PAYING")]:
        assert f"<th>{label}</th><td>{value}</td>" in page
    assert "<th>Last login</th><td>8 June 2024 (20240608)</td>" in page
    missing = client.get("/user?id=nobody").get_data(as_text=True)
    assert "<th>Exists</th><td>no</td>" in missing and "<th>Credits</th>" not in missing
    assert "nothing to change" in missing and 'value="credits"' not in missing
    unsendable = client.get("/user?id=b\u0151b").get_data(as_text=True)  # not in Windows-1252
    assert unsendable.count("(-109)") == 1


def test_the_page_shows_the_state_after_a_change(client, wgsim):
    page = client.get("/user?id=bob").get_data(as_text=True)
    assert 'value="delete"' in page and 'value="undelete"' in page
    page = client.get(post(client, "/user/change", user="bob", action="delete",
                           confirm="yes").location).get_data(as_text=True)
    assert "<th>Deleted</th><td>yes (by alice" in page
    assert 'value="delete"' not in page and 'value="undelete"' in page
    page = client.get(post(client, "/user/change", user="bob", action="suspend").location)
    assert 'value="unsuspend"' in page.get_data(as_text=True)
    history = client.get("/history").get_data(as_text=True)
    assert history.index("suspend bob") < history.index("delete bob")  # newest first
    assert "done (0)" in history and "<td>alice</td>" in history


@pytest.mark.parametrize("user, form, said", [
    ("bob", {"action": "givekey", "key": 'EVIL x"'}, "A key is one word without blanks"),
    ("bob", {"action": "takekey", "key": "A\tB"}, "A key is one word without blanks"),
    ("bob", {"action": "class", "newclass": "PAYING bob"}, "A class is one word"),
    ("x%%3 bob", {"action": "field", "field": "1", "newdata": "y"}, "cannot be sent with a field"),
])
def test_arguments_that_would_change_another_account_are_refused(client, wgsim, user, form,
                                                                 said):
    response = post(client, "/user/change", user=user, **form)
    assert said in client.get(response.location).get_data(as_text=True)
    assert wgsim.audits() == "" and "keys" not in wgsim.account("bob")


def test_a_long_failure_message_reaches_the_page(client, wgsim):
    response = post(client, "/user/change", user="nobody", action="field", field="1",
                    newdata="x" * 6000)
    assert len(response.headers.get("Set-Cookie", "")) < 1000
    page = client.get(response.location).get_data(as_text=True)
    assert "Could not set field 1 of nobody to “xxx" in page and "x" * 100 not in page


def test_hostile_user_ids_are_escaped(client, wgsim):
    hostile = "<script>alert(1)</script>\"'"
    page = client.get("/user", query_string={"id": hostile}).get_data(as_text=True)
    assert "<script>alert" not in page and "&lt;script&gt;alert(1)&lt;/script&gt;" in page
    response = post(client, "/user/change", user=hostile, action="credits", amount="1")
    assert "<script>alert" not in client.get(response.location).get_data(as_text=True)


@pytest.mark.parametrize("method, path, status", [
    ("get", "/nothing-here", 404), ("get", "/user/change", 405), ("post", "/user", 405),
    ("get", "/signout", 405), ("get", "/system/audit", 405)])
def test_unknown_paths_and_wrong_methods(client, method, path, status):
    response = getattr(client, method)(path, data={"csrf": csrf_of(client)})
    assert response.status_code == status


def test_security_headers_and_no_caching(client, wgsim):
    response = client.get("/user?id=bob")
    assert response.headers["X-Frame-Options"] == "DENY"
    assert "frame-ancestors 'none'" in response.headers["Content-Security-Policy"]
    assert response.headers["Cache-Control"] == "no-store"
    assert response.headers["X-Content-Type-Options"] == "nosniff"
    assert b"s3cret" not in response.data


def test_system_variables_and_the_audit_form(client, wgsim):
    assert "Variable 3: 37 (calls today)" in client.get("/system?number=3").get_data(as_text=True)
    assert "no such system variable (-106)" in client.get("/system?number=99").get_data(
        as_text=True)
    for text in ("three", "2147483648"):  # not a number, past 32 bits
        assert "is not a whole number." in client.get(f"/system?number={text}").get_data(
            as_text=True)
    response = post(client, "/system/audit", message="Backup starts at 02:00")
    assert "The audit message was written." in client.get(response.location).get_data(
        as_text=True)
    assert f"Console: {ADMIN}: Backup starts at 02:00" in wgsim.audits()


def test_a_silent_host_costs_one_timeout_per_page(windir, make_config):
    listener = free_silent_listener()
    write_settings(windir, listener.getsockname()[1])
    app = tessaly_console.create_app(make_config(receive_timeout=0.5))
    client = app.test_client()
    post(client, "/signin", name=ADMIN, password=PASSWORD)
    start = time.monotonic()
    page = client.get("/user?id=bob").get_data(as_text=True)
    assert time.monotonic() - start < 1.5  # ten questions, one timeout
    assert "Stopped asking the host: the host did not answer (-506)." in page
    start = time.monotonic()
    again = client.get("/user?id=bob").get_data(as_text=True)
    assert time.monotonic() - start < 0.5  # the host is known to be down
    assert "the host did not answer (-506); not asked again for" in again
    listener.close()


def test_every_result_code_of_the_module_is_said_in_words():
    for code in morvane.Result:
        assert "unexpected" not in host_module.words(code)
    assert host_module.words(-999, "Something new") == "Something new (-999)"


@pytest.mark.parametrize("method, path, data, said", [
    ("get", "/user?id=bob", None, "the host's answer was not a number"),
    ("get", "/system?number=3", None, "the host's answer was not a number"),
    ("post", "/user/change", {"user": "bob", "action": "suspend"},
     "Could not suspend bob: the host's answer was not a number."),
    ("post", "/system/audit", {"message": "hi"},
     "The audit message was not written: the host's answer was not a number."),
])
def test_a_call_the_gateway_raises_on_is_said_in_words(client, windir, method, path, data, said):
    write_settings(windir, "port")  # not a number: the gateway raises before connecting
    if method == "post":
        response = post(client, path, **data)
        assert response.status_code == 303
        response = client.get(response.location)
    else:
        response = client.get(path)
    assert response.status_code == 200
    assert said.replace("'", "&#39;") in response.get_data(as_text=True)


def test_add_admin_writes_a_private_file(tmp_path, monkeypatch):
    import io
    import stat
    path = tmp_path / "console.ini"
    # A leftover file where the new one is written first must not lend it its mode.
    (tmp_path / "console.ini.tmp").write_text("")
    (tmp_path / "console.ini.tmp").chmod(0o644)
    monkeypatch.setattr("sys.stdin", io.StringIO("pa55word\n"))
    assert command_line.main(["--config", str(path), "add-admin", "bob",
                              "--secret-file", str(tmp_path / "secret")]) == 0
    assert stat.S_IMODE(path.stat().st_mode) == 0o600
    loaded = config_file.load(path)
    assert list(loaded.admins) == ["bob"] and "pa55word" not in path.read_text()
    for name in ("eve\n[console]", "b\u0151b", "tab\there", " alice"):
        with pytest.raises(config_file.ConfigError):
            config_file.add_admin(path, name, "x")


@pytest.mark.parametrize("spoil, refused", [
    (lambda path, secret: path.chmod(0o644), "configuration file"),
    (lambda path, secret: secret.chmod(0o604), "secret file"),
    (lambda path, secret: path.write_text(path.read_text().replace(
        "session_key = ", "session_key = abc\n#")), "shorter than 32"),
    (lambda path, secret: path.chmod(0o640), None),  # a warning only
])
def test_start_is_refused_for_open_files_and_short_keys(make_config, windir, spoil, refused):
    path = make_config()
    spoil(path, windir / "secret")
    if refused is None:
        tessaly_console.create_app(path)
        return
    with pytest.raises(config_file.ConfigError, match=refused):
        tessaly_console.create_app(path)


@pytest.fixture
def tokens(app, windir):
    path = windir / "console.ini"
    return {scope: config_file.add_token(path, f"{scope}-token", scope)
            for scope in config_file.TOKEN_SCOPES}


def api(app, token, method, path, body=None):
    headers = {"Authorization": f"Bearer {token}"} if token else {}
    return getattr(app.test_client(), method)("/api/v1" + path, json=body, headers=headers)


@pytest.mark.parametrize("scope, method, path, body, status, error_number", [
    (None, "get", "/users/bob", None, 401, None),
    (None, "get", "/nothing-here", None, 404, None),
    ("read", "delete", "/users/bob", None, 405, None),
    ("wrong", "get", "/users/bob", None, 401, None),
    ("read", "get", "/users/bob", None, 200, None),
    ("read", "get", "/users/nobody", None, 404, None),
    ("read", "post", "/users/bob/credits", {"amount": 5}, 403, None),
    ("read", "post", "/users/Sysop/haskey", {"key": "MASTER"}, 200, 0),
    ("read", "get", "/system/3", None, 200, 0),
    ("read", "get", "/system/99", None, 404, -106),
    ("change", "post", "/users/bob/credits", {"amount": 5}, 200, 0),
    ("change", "post", "/users/bob/credits", {"amount": "five"}, 400, None),
    ("change", "post", "/users/bob/credits", {"amount": True}, 400, None),
    ("change", "post", "/users/bob/givekey", {"key": 'EVIL x"'}, 400, None),
    ("change", "post", "/users/bob/givekey", {"key": "K" * 16}, 400, -102),
    ("change", "post", "/users/bob/class", {"newclass": "NOPE"}, 400, -107),
    ("change", "post", "/users/nobody/suspend", None, 404, -101),
    ("change", "post", "/users/Sysop/delete", None, 409, -108),
    ("change", "post", "/users/bob/field", {"field": 3, "newdata": "Builder"}, 200, 0),
    ("change", "post", "/audit", {"message": "from a script"}, 200, 0),
    ("change", "post", "/audit", {"message": " "}, 400, None),
])
def test_the_api_answers_with_statuses_that_follow_the_result(
        app, wgsim, tokens, scope, method, path, body, status, error_number):
    response = api(app, tokens.get(scope, "not-a-token" if scope else None), method, path, body)
    assert response.status_code == status, response.get_json()
    answer = response.get_json()
    assert answer is not None  # JSON, also for errors
    if error_number is not None:
        assert answer["command_return"]["error_number"] == error_number
    if status == 200 and path.endswith("/credits"):
        assert answer["done"] and "credits = 45\n" in wgsim.account("bob")
        assert "Console: token change-token did give 5 credits to bob" in wgsim.audits()
    if status in (400, 401, 403) and error_number is None:
        assert "error" in answer and wgsim.audits() == ""


def test_the_api_reads_every_field_of_a_user(app, wgsim, tokens):
    answer = api(app, tokens["read"], "get", "/users/Alice Smith").get_json()
    assert answer["exists"] is True
    assert answer["fields"]["credits"] == {"error_number": 0, "answer_long": 1200,
                                           "answer_string": "", "shown": "1200",
                                           "error_description": answer["fields"]["credits"][
                                               "error_description"]}
    assert answer["fields"]["primary_class"]["answer_string"] == "PAYING"
    assert set(answer["fields"]) == {name for name, *_ in tessaly_console.service.LOOKUP}


def test_a_removed_token_is_refused_at_once_and_requests_are_limited(
        windir, make_config, wgsim):
    app = tessaly_console.create_app(make_config(api_requests_per_second=1))
    token = config_file.add_token(windir / "console.ini", "script", "read")
    statuses = [api(app, token, "get", "/system/3").status_code for _ in range(3)]
    assert statuses == [200, 200, 429]
    assert api(app, token, "get", "/system/3").headers["Retry-After"] == "1"
    assert "script" in (windir / "console.ini").read_text() and token not in (
        windir / "console.ini").read_text()
    config_file.remove_token(windir / "console.ini", "script")
    assert api(app, token, "get", "/system/3").status_code == 401


def test_the_api_says_504_for_a_silent_host(windir, make_config):
    listener = free_silent_listener()
    write_settings(windir, listener.getsockname()[1])
    app = tessaly_console.create_app(make_config(receive_timeout=5, page_deadline=0.5))
    token = config_file.add_token(windir / "console.ini", "script", "change")
    response = api(app, token, "post", "/users/bob/credits", {"amount": 1})
    assert response.status_code == 504 and "did not answer within 0.5 seconds" in \
        response.get_json()["error"]
    assert api(app, token, "get", "/users/bob").status_code == 504  # remembered, at once
    listener.close()


def test_the_openapi_document_matches_the_routes(app):
    document = app.test_client().get("/api/v1/openapi.json").get_json()
    assert document["openapi"].startswith("3.")
    documented = {(path, method.upper()) for path, operations in document["paths"].items()
                  for method in operations}
    routed = set()
    for rule in app.url_map.iter_rules():
        if rule.rule.startswith("/api/v1/"):
            path = rule.rule[len("/api/v1"):]
            for argument in rule.arguments:
                path = path.replace(
                    next(part for part in path.split("/") if argument in part and "<" in part),
                    "{" + argument + "}")
            routed |= {(path, method) for method in rule.methods - {"HEAD", "OPTIONS"}}
    assert documented == routed
    for action, kind in tessaly_console.service.CHANGES.items():
        operation = document["paths"][f"/users/{{user}}/{action}"]["post"]
        body = operation.get("requestBody", {}).get("content", {}).get("application/json", {})
        assert set(body.get("schema", {}).get("properties", {})) == {n for n, _ in kind.fields}


def test_a_silent_host_slows_no_page_that_does_not_ask_it(windir, make_config):
    """20 clients at once: half look users up on a host that never answers,
    half open pages that do not ask the host."""
    import http.client
    import statistics
    import threading

    from waitress import create_server

    listener = free_silent_listener()
    write_settings(windir, listener.getsockname()[1])
    deadline = 1.0
    app = tessaly_console.create_app(make_config(receive_timeout=4, page_deadline=deadline,
                                                 host_down_seconds=0.3))
    server = create_server(app, host="127.0.0.1", port=0, threads=command_line.WORKER_THREADS,
                           clear_untrusted_proxy_headers=True)
    threading.Thread(target=server.run, daemon=True).start()
    port = server.effective_port
    signin = app.test_client()
    post(signin, "/signin", name=ADMIN, password=PASSWORD)
    cookie = f"tessaly_console={cookie_of(signin)}"
    times = {"quiet": [], "lookup": []}

    def client(kind, path):
        for _ in range(6):
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
            start = time.monotonic()
            connection.request("GET", path, headers={"Cookie": cookie})
            response = connection.getresponse()
            response.read()
            times[kind].append(time.monotonic() - start)
            assert response.status == 200
            connection.close()

    workers = [threading.Thread(target=client, args=("lookup", "/user?id=bob"))
               for _ in range(10)]
    workers += [threading.Thread(target=client, args=("quiet", path))
                for path in ("/history", "/system", "/user") * 3 + ("/history",)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join(timeout=60)
    server.close()
    listener.close()
    assert len(times["quiet"]) == 60 and len(times["lookup"]) == 60
    assert statistics.median(times["quiet"]) < 0.2
    assert max(times["lookup"]) < deadline + 1.5  # one deadline, and room for a busy machine
