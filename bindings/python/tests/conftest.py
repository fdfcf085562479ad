# SPDX-License-Identifier: MIT

"""Fixtures: a private Windows directory, a scripted loopback server and the
simulator, so that every test talks to 127.0.0.1 only."""

import os
import shutil
import socket
import subprocess
import threading
import time
from datetime import timedelta
from pathlib import Path

import pytest

import morvane

GREETING = b"Welcome\r\nPlease enter your secret string to continue.\xf5\xf5"
MASTER = b"What is your wish my master?\xf5\xf5"
REPO = Path(__file__).resolve().parents[3]


def write_settings(windir, port, remote="127.0.0.1", local="127.0.0.1"):
    """The 60-byte settings record: remote host, local host, port."""
    record = b"".join(v.encode("cp1252").ljust(20, b" ")[:20] for v in (remote, local, str(port)))
    (Path(windir) / "morvane.ini").write_bytes(record)


@pytest.fixture(autouse=True)
def windir(tmp_path, monkeypatch):
    monkeypatch.setenv("WINDIR", str(tmp_path))
    monkeypatch.chdir(tmp_path)
    morvane.set_socket_timeouts(connect=timedelta(seconds=2), receive=timedelta(seconds=3),
                                quiet_gap=timedelta(milliseconds=50))
    return tmp_path


class ScriptedServer:
    """Plays one session with every client: greeting, master prompt after the
    secret, then `reply` to the command after `delay` seconds."""

    def __init__(self, reply, delay=0.0):
        self.reply, self.delay = reply, delay
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.lines = []
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self._converse, args=(client,), daemon=True).start()

    def _converse(self, client):
        with client, client.makefile("rb") as lines:
            client.sendall(GREETING)
            self.lines.append(lines.readline())
            client.sendall(MASTER)
            self.lines.append(lines.readline())
            time.sleep(self.delay)
            client.sendall(self.reply)

    def close(self):
        self.listener.close()


@pytest.fixture
def serve(windir):
    servers = []

    def start(reply, delay=0.0):
        server = ScriptedServer(reply, delay)
        servers.append(server)
        write_settings(windir, server.port)
        return server

    yield start
    for server in servers:
        server.close()


@pytest.fixture
def wgsim(windir):
    """The simulator on a free loopback port with the sample accounts; the
    settings point at it. Yields the path of its accounts file."""
    program = os.environ.get("WGSIM", str(REPO / "build" / "bin" / "wgsim"))
    accounts = windir / "accounts.txt"
    shutil.copy(REPO / "examples" / "accounts.txt", accounts)
    process = subprocess.Popen(
        [program, "--listen", "127.0.0.1:0", "--secret", "s3cret", "--accounts", str(accounts)],
        stdout=subprocess.PIPE, text=True)
    try:
        line = process.stdout.readline()
        assert line.startswith("listening on "), line
        write_settings(windir, int(line.rsplit(":", 1)[1]))
        yield accounts
    finally:
        process.terminate()
        process.wait(timeout=10)
