# SPDX-License-Identifier: MIT

"""Limits that answer at once: a refused request is told when to come back
(429 with Retry-After) and never holds a server thread while it waits."""

import math
import threading
import time

# Failed sign-ins allowed before the wait starts, per account and per
# address (an address may be a whole office behind one proxy).
FREE_FAILURES_PER_ACCOUNT = 5
FREE_FAILURES_PER_ADDRESS = 20
# The wait doubles with each further failure, up to the cap.
FIRST_WAIT_SECONDS = 1.0
WAIT_CAP_SECONDS = 300.0
# Failures older than this are forgotten.
FAILURES_KEPT_SECONDS = 3600.0
# Keys remembered; past this the oldest are forgotten, so that a flood of
# names and addresses cannot fill the memory.
KEYS_KEPT = 10000


class _Failures:
    """Failures per key, each with when the key may try again."""

    def __init__(self, free, first_wait):
        self.free, self.first_wait = free, first_wait
        self._entries = {}  # key: (count, last failure, allowed again at)

    def wait(self, key, now):
        allowed_at = self._entries.get(key, (0, 0.0, 0.0))[2]
        return max(0.0, allowed_at - now)

    def failed(self, key, now):
        count, last, _ = self._entries.pop(key, (0, 0.0, 0.0))
        if now - last > FAILURES_KEPT_SECONDS:
            count = 0
        count += 1
        excess = count - self.free
        wait = 0.0 if excess < 0 else min(self.first_wait * 2 ** excess, WAIT_CAP_SECONDS)
        self._entries[key] = (count, now, now + wait)  # now the newest
        while len(self._entries) > KEYS_KEPT:
            del self._entries[next(iter(self._entries))]

    def forget(self, key):
        self._entries.pop(key, None)


class SignInThrottle:
    """Counts failed sign-ins per account name and per client address."""

    def __init__(self, first_wait=FIRST_WAIT_SECONDS):
        self._accounts = _Failures(FREE_FAILURES_PER_ACCOUNT, first_wait)
        self._addresses = _Failures(FREE_FAILURES_PER_ADDRESS, first_wait)
        self._lock = threading.Lock()

    def retry_after(self, name, address):
        """Whole seconds until `name` may try again from `address`; 0 now."""
        now = time.monotonic()
        with self._lock:
            wait = max(self._accounts.wait(name, now), self._addresses.wait(address, now))
        return math.ceil(wait)

    def failed(self, name, address):
        now = time.monotonic()
        with self._lock:
            self._accounts.failed(name, now)
            self._addresses.failed(address, now)

    def succeeded(self, name):
        """Clears the account's failures. The address keeps its own: one
        person's good sign-in does not clear a guesser's count beside them."""
        with self._lock:
            self._accounts.forget(name)


class RateLimit:
    """A bucket of `burst` requests per key, refilled at `per_second`."""

    def __init__(self, per_second, burst=None):
        self.per_second = per_second
        self.burst = burst if burst is not None else max(1.0, 2 * per_second)
        self._buckets = {}  # key: (requests left, when counted)
        self._lock = threading.Lock()

    def retry_after(self, key):
        """Takes one request from the key's bucket and returns 0, or the
        whole seconds until one is there (taking none)."""
        now = time.monotonic()
        with self._lock:
            left, when = self._buckets.pop(key, (self.burst, now))
            left = min(self.burst, left + (now - when) * self.per_second)
            if left >= 1:
                self._buckets[key] = (left - 1, now)
                wait = 0
            else:
                self._buckets[key] = (left, now)
                wait = math.ceil((1 - left) / self.per_second)
            while len(self._buckets) > KEYS_KEPT:
                del self._buckets[next(iter(self._buckets))]
        return wait
