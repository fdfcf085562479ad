# SPDX-License-Identifier: MIT

"""The recent changes made through the console: who, when, what, and how
it went. Kept in the console's memory, newest first, for the history page."""

import threading
import time
from collections import deque
from dataclasses import dataclass

CHANGES_KEPT = 500


@dataclass(frozen=True)
class Entry:
    when: float
    who: str
    action: str
    user: str
    saying: str
    result: str
    done: bool


class History:
    def __init__(self, kept=CHANGES_KEPT):
        self._entries = deque(maxlen=kept)
        self._lock = threading.Lock()

    def record(self, who, action, user, saying, result, done):
        with self._lock:
            self._entries.appendleft(Entry(time.time(), who, action, user, saying, result, done))

    def recent(self):
        with self._lock:
            return list(self._entries)

    def deleted(self, user):
        """The newest confirmed delete or undelete of `user`, or None: the
        host has no question that tells a deleted account apart."""
        for entry in self.recent():
            if entry.done and entry.user == user and entry.action in ("delete", "undelete"):
                return entry
        return None
