# SPDX-License-Identifier: MIT

"""Calls to the host for one page, and the result codes in plain words.

A page makes several calls; once one of them shows that no session can be
opened (the host unreachable, silent, busy or refusing the secret), the page
makes no more, so a silent host costs one timeout per page.
"""

import morvane

Result = morvane.Result

# What each result code means to an administrator.
RESULT_WORDS = {
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

# Codes that mean no session can be opened at all: no later call would fare better.
SESSION_FAILURES = frozenset({Result.SERVER_BUSY, Result.OUT_OF_SYNC, Result.WRONG_SECRET,
                              Result.NO_CONNECTION, Result.BAD_COMMUNICATION})


def words(number):
    """A result code in plain words, with the code itself."""
    try:
        text = RESULT_WORDS[Result(number)]
    except ValueError:
        text = "the host gave an unexpected result"
    return f"{text} ({number})"


class HostError(Exception):
    """A call that brought no result; its text says why, in words."""


class HostUnavailable(HostError):
    """No session could be opened; `number` is the result code."""

    def __init__(self, number):
        super().__init__(words(number))
        self.number = number


class NotANumber(HostError):
    """The host answered with a value that is not a number."""

    def __init__(self):
        super().__init__("the host's answer was not a number")


class Host:
    """The calls of one page, with the host's secret phrase."""

    def __init__(self, secret):
        self._secret = secret
        self._wg = morvane.WG()
        self.failure = None  # the HostUnavailable that stopped this page, if any

    def call(self, member, *args):
        """Runs the command `member` and returns its CommandReturn. Raises
        HostUnavailable when no session could be opened, then or before on
        this page, and NotANumber when a number came back unreadable."""
        if self.failure is not None:
            raise self.failure
        try:
            result = getattr(self._wg, member)(self._secret, *args)
        except morvane.PlatformError:
            raise NotANumber() from None
        if result.error_object.number in SESSION_FAILURES:
            self.failure = HostUnavailable(result.error_object.number)
            raise self.failure
        return result
