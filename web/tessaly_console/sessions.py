# SPDX-License-Identifier: MIT

"""Signed-in sessions, kept on the server.

The cookie holds only a random session number. The record behind it names
the administrator and the password hash they signed in with, so a session
ends at once when the administrator signs out, is removed or gets a new
password, and every session ends when the console restarts.
"""

import secrets
import threading
import time
from collections import deque
from dataclasses import dataclass, field

# A signed-in session ends after this many seconds, even if its cookie lives on.
SESSION_SECONDS = 8 * 60 * 60
# Sessions kept at most; past this the oldest end.
SESSIONS_KEPT = 10000
# Messages kept for the next page of a session at most; older ones go first.
MESSAGES_KEPT = 10


@dataclass
class Session:
    admin: str
    password_hash: str
    since: float
    messages: deque = field(default_factory=lambda: deque(maxlen=MESSAGES_KEPT))


class SessionStore:
    def __init__(self):
        self._sessions = {}
        self._lock = threading.Lock()

    def start(self, admin, password_hash):
        """A new session for `admin`; returns its number for the cookie."""
        number = secrets.token_urlsafe(32)
        with self._lock:
            self._sessions[number] = Session(admin, password_hash, time.time())
            while len(self._sessions) > SESSIONS_KEPT:
                del self._sessions[next(iter(self._sessions))]
        return number

    def find(self, number, admins):
        """The live session of `number`, or None. `admins` (name to password
        hash) is the configuration as it stands now: a session whose
        administrator is gone or has another password ends here."""
        if not number:
            return None
        with self._lock:
            found = self._sessions.get(number)
            if found is None:
                return None
            if (admins.get(found.admin) != found.password_hash
                    or time.time() - found.since > SESSION_SECONDS):
                del self._sessions[number]
                return None
            return found

    def end(self, number):
        with self._lock:
            self._sessions.pop(number, None)
