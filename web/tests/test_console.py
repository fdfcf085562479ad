# SPDX-License-Identifier: MIT

"""The console's routes through Flask's test client, against the simulator."""

import time

import pytest

import tessaly_console
from conftest import (ADMIN, PASSWORD, csrf_of, free_silent_listener, post, write_settings)
from tessaly_console import __main__ as command_line
from tessaly_console import config as config_file


@pytest.mark.parametrize("method, path", [
    ("get", "/user?id=Sysop"), ("get", "/system?number=2"), ("get", "/"),
    ("post", "/user/change"), ("post", "/system/audit")])
def test_everything_but_signing_in_needs_an_administrator(app, wgsim, method, path):
    client = app.test_client()
    data = {"csrf": csrf_of(client), "user": "bob", "action": "credits", "amount": "5",
            "message": "hi"} if method == "post" else None
    response = getattr(client, method)(path, data=data)
    assert response.status_code == 302 and response.location.endswith("/signin")
    assert "credits = 40\n" in wgsim.account("bob") and wgsim.audits() == ""


def test_sign_in_and_out(app, wgsim):
    client = app.test_client()
    start = time.monotonic()
    for password in ("wrong", "also wrong"):
        response = client.post("/signin", data={"name": ADMIN, "password": password,
                                                "csrf": csrf_of(client)})
        assert response.status_code == 401 and b"name or the password is wrong" in response.data
    assert time.monotonic() - start >= 0.05 + 0.1  # each failure waits longer
    unknown = client.post("/signin", data={"name": "mallory", "password": PASSWORD,
                                           "csrf": csrf_of(client)})
    assert unknown.status_code == 401
    assert post(client, "/signin", name=ADMIN, password=PASSWORD).status_code == 302
    assert client.get("/user").status_code == 200
    assert post(client, "/signout").status_code == 302
    assert client.get("/user").status_code == 302

    assert post(client, "/signin", name=ADMIN, password=PASSWORD).status_code == 302
    with client.session_transaction() as session:
        session["since"] -= tessaly_console.SESSION_SECONDS + 1
    assert client.get("/user").status_code == 302  # a day-old sign-in has ended


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
                         ("Last login", "20240608"), ("Primary class", "PAYING")]:
        assert f"<th>{label}</th><td>{value}</td>" in page
    missing = client.get("/user?id=nobody").get_data(as_text=True)
    assert "<th>Exists</th><td>no</td>" in missing and "<th>Credits</th>" not in missing


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
    assert "Variable 3: 37" in client.get("/system?number=3").get_data(as_text=True)
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
    app = tessaly_console.create_app(make_config(receive_timeout=0.5), signin_delay=0)
    client = app.test_client()
    post(client, "/signin", name=ADMIN, password=PASSWORD)
    start = time.monotonic()
    page = client.get("/user?id=bob").get_data(as_text=True)
    assert time.monotonic() - start < 1.5  # ten questions, one timeout
    assert "Stopped asking the host: the host did not answer (-506)." in page
    listener.close()


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
    with pytest.raises(config_file.ConfigError):
        config_file.add_admin(path, "eve\n[console]", "x")
