# SPDX-License-Identifier: MIT

"""Questions to the host, and the result codes in plain words.

Every page asks its questions under one deadline, and the questions of one
page are asked at once, each on a thread of a pool (a WG object belongs to
one thread). A page waits for its answers until the deadline at most; a
question still running then finishes on its thread without anyone waiting.

Once the host could not be reached (no session opened, or the deadline
passed) the console remembers it for a short while: pages asked meanwhile
answer at once that the host is down, instead of each waiting again.
"""

import concurrent.futures
import threading
import time

import morvane

Result = morvane.Result

# Plain words for the codes an administrator meets most; any other code
# the module knows is said with the gateway's own text.
PLAIN_WORDS = {
    Result.SUCCESS: "done",
    Result.NO_SUCH_COMMAND: "the host does not know this command",
    Result.NO_SUCH_USER: "there is no such user",
    Result.KEY_TOO_LONG: "a key has at most 15 characters",
    Result.NOT_COMPLIED: "the host could not do it",
    Result.NEGATIVE_DAYS: "the user would be left with negative days",
    Result.NO_SUCH_SYSTEM_VARIABLE: "there is no such system variable",
    Result.NO_SUCH_CLASS: "there is no such class",
    Result.USER_PROTECTED: "the user is protected",
    Result.INVALID_CHARACTER: "the text holds a character that cannot be sent "
                              "(a line break, or a letter outside Western European)",
    Result.MALFORMED_REQUEST: "the host found the request malformed",
    Result.SERVER_BUSY: "the host is too busy; try again in a moment",
    Result.OUT_OF_SYNC: "the conversation with the host went out of step",
    Result.WRONG_SECRET: "the host refused the console's secret phrase",
    Result.NO_CONNECTION: "the host is unreachable",
    Result.BAD_COMMUNICATION: "the host did not answer",
}

# The codes of a session that could not be opened (the gateway numbers them
# from -501 down): no later question would fare better.
SESSION_CODES_FROM = -500

# Threads that run questions for all pages together.
QUESTION_THREADS = 32
# Pages that may wait for the host at one time. The server runs more
# threads than this, so pages that do not ask the host always find one.
PAGES_ASKING_AT_ONCE = 6


def words(number, description=""):
    """A result code in plain words, with the code itself. `description` is
    the gateway's text, said for a code without plain words of its own."""
    try:
        text = PLAIN_WORDS[Result(number)]
    except (ValueError, KeyError):
        text = description or "the host gave an unexpected result"
    return f"{text} ({number})"


def is_session_failure(number):
    return number <= SESSION_CODES_FROM


class HostError(Exception):
    """A question that brought no result; its text says why, in words."""


class HostUnavailable(HostError):
    """No session could be opened; `number` is the result code."""

    def __init__(self, number, description=""):
        super().__init__(words(number, description))
        self.number = number


class HostTooSlow(HostError):
    """The page's deadline passed before the host answered."""

    def __init__(self, seconds):
        super().__init__(f"the host did not answer within {seconds:g} seconds")
        self.number = None


class HostDown(HostError):
    """The host failed a moment ago; the console does not ask again yet."""

    def __init__(self, cause, seconds_left):
        super().__init__(f"{cause}; not asked again for {seconds_left:.0f} more seconds")
        self.cause = cause
        self.number = getattr(cause, "number", None)


class HostBusy(HostError):
    """Too many pages are waiting for the host already."""

    def __init__(self):
        super().__init__("too many pages are waiting for the host; try again in a moment")
        self.number = None


class NotANumber(HostError):
    """The host answered with a value that is not a number."""

    def __init__(self):
        super().__init__("the host's answer was not a number")


class Host:
    """The host as all pages share it: the secret phrase, the pool of
    question threads and the memory of a recent failure."""

    def __init__(self, secret, deadline, down_seconds):
        self.secret = secret
        self.deadline = deadline
        self.down_seconds = down_seconds
        self._pool = concurrent.futures.ThreadPoolExecutor(
            max_workers=QUESTION_THREADS, thread_name_prefix="host-question")
        self._per_thread = threading.local()
        self._pages_asking = threading.BoundedSemaphore(PAGES_ASKING_AT_ONCE)
        self._lock = threading.Lock()
        self._down_until = 0.0
        self._down_cause = None

    def page(self):
        """The questions of one page, under one deadline from now."""
        return HostPage(self, time.monotonic() + self.deadline)

    def forget_failure(self):
        with self._lock:
            self._down_until, self._down_cause = 0.0, None

    def _remembered_failure(self):
        with self._lock:
            left = self._down_until - time.monotonic()
            if self._down_cause is not None and left > 0:
                return HostDown(self._down_cause, left)
            return None

    def _remember(self, failure):
        with self._lock:
            self._down_until = time.monotonic() + self.down_seconds
            self._down_cause = failure

    def _ask(self, member, args):
        """Runs on a question thread, with that thread's own WG."""
        wg = getattr(self._per_thread, "wg", None)
        if wg is None:
            wg = self._per_thread.wg = morvane.WG()
        return getattr(wg, member)(self.secret, *args)


class HostPage:
    """The questions of one page. Once one of them shows that the host
    cannot be asked, the page asks no more and every later question raises
    the same failure."""

    def __init__(self, host, deadline):
        self._host = host
        self._deadline = deadline
        self.failure = None

    def call(self, member, *args):
        """The CommandReturn of one command. Raises HostError."""
        answer = self.ask([(member, args)])[0]
        if isinstance(answer, HostError):
            raise answer
        return answer

    def ask(self, questions):
        """Asks the (member, args) `questions` at once and returns, in their
        order, each one's CommandReturn or NotANumber. Raises HostError when
        the host cannot be asked: down a moment ago, no session, or silent
        past the page's deadline."""
        if self.failure is None:
            self.failure = self._host._remembered_failure()
        if self.failure is not None:
            raise self.failure
        if not self._host._pages_asking.acquire(blocking=False):
            raise HostBusy()
        try:
            futures = [self._host._pool.submit(self._host._ask, member, args)
                       for member, args in questions]
            _, late = concurrent.futures.wait(
                futures, timeout=max(0.0, self._deadline - time.monotonic()))
        finally:
            self._host._pages_asking.release()
        if late:
            for future in late:
                future.cancel()
            self._fail(HostTooSlow(self._host.deadline))
        answers = []
        for future in futures:
            try:
                result = future.result()
            except morvane.PlatformError:
                answers.append(NotANumber())
                continue
            number = result.error_object.number
            if is_session_failure(number):
                self._fail(HostUnavailable(number, result.error_object.description))
            answers.append(result)
        return answers

    def _fail(self, failure):
        self.failure = failure
        self._host._remember(failure)
        raise failure
