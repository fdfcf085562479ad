# SPDX-License-Identifier: MIT

"""Fixtures: a private Windows directory whose settings point at 127.0.0.1,
the simulator with the sample accounts, and the console configured for it."""

import os
import shutil
import socket
import subprocess
import sys
from pathlib import Path

import pytest

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "web"))

import tessaly_console  # noqa: E402
from tessaly_console import config as config_file  # noqa: E402

SECRET = "s3cret"
ADMIN, PASSWORD = "alice", "correct horse"


def write_settings(windir, port):
    """The 60-byte settings record: remote host, local host, port."""
    record = b"".join(v.encode().ljust(20) for v in ("127.0.0.1", "127.0.0.1", str(port)))
    (Path(windir) / "morvane.ini").write_bytes(record)


@pytest.fixture
def windir(tmp_path, monkeypatch):
    monkeypatch.setenv("WINDIR", str(tmp_path))
    monkeypatch.chdir(tmp_path)
    return tmp_path


class Simulator:
    def __init__(self, directory):
        program = os.environ.get("WGSIM", str(REPO / "build" / "bin" / "wgsim"))
        self.accounts = directory / "accounts.txt"
        self.audit_log = directory / "audit.log"
        shutil.copy(REPO / "examples" / "accounts.txt", self.accounts)
        self.process = subprocess.Popen(
            [program, "--listen", "127.0.0.1:0", "--secret", SECRET, "--accounts",
             str(self.accounts), "--audit-log", str(self.audit_log)],
            stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        assert line.startswith("listening on "), line
        self.port = int(line.rsplit(":", 1)[1])

    def account(self, user):
        """The lines of the account's section in the accounts file."""
        text = self.accounts.read_text().split(f"[user {user}]\n", 1)[1]
        return text.split("\n[", 1)[0]

    def audits(self):
        return self.audit_log.read_text() if self.audit_log.exists() else ""

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


@pytest.fixture
def wgsim(windir):
    simulator = Simulator(windir)
    write_settings(windir, simulator.port)
    yield simulator
    simulator.stop()


@pytest.fixture
def make_config(windir):
    def make(receive_timeout=3, **settings):
        (windir / "secret").write_text(SECRET + "\n")
        (windir / "secret").chmod(0o600)
        path = windir / "console.ini"
        config_file.add_admin(path, ADMIN, PASSWORD, secret_file=windir / "secret")
        text = path.read_text().replace(
            "[console]\n", f"[console]\nconnect_timeout = 1\nreceive_timeout = {receive_timeout}\n"
            + "".join(f"{name} = {value}\n" for name, value in settings.items()))
        path.write_text(text)
        path.chmod(0o600)
        return path
    return make


@pytest.fixture
def app(make_config):
    return tessaly_console.create_app(make_config(), signin_wait=1)


def csrf_of(client):
    with client.session_transaction() as session:
        if "csrf" not in session:
            session["csrf"] = "token-for-tests"
        return session["csrf"]


@pytest.fixture
def client(app):
    """A client signed in as the administrator."""
    client = app.test_client()
    client.get("/signin")
    response = client.post("/signin", data={"name": ADMIN, "password": PASSWORD,
                                            "csrf": csrf_of(client)})
    assert response.status_code == 302
    return client


def post(client, path, **data):
    return client.post(path, data=dict(data, csrf=csrf_of(client)))


def free_silent_listener():
    """A loopback listener that accepts and never says a word."""
    listener = socket.create_server(("127.0.0.1", 0))
    return listener
