# SPDX-License-Identifier: MIT

"""What the console does, whatever asks for it: the pages and the JSON API
call these same functions and only present the outcome differently."""

import datetime
from dataclasses import dataclass, field

from .host import HostError, NotANumber, words

# Limits of the numbers the host's commands take.
INT32 = (-2**31, 2**31 - 1)
INT16 = (-2**15, 2**15 - 1)
# Texts typed by a person are said back at most this long (a message that
# repeated a whole field text would drown what it says).
SAID_LENGTH = 60
# A command with a free text after the user ID separates the two with these.
FREE_TEXT_SEPARATOR = "%%"


class Change:
    """One kind of change: the WG member, the arguments it takes after the
    user ID (name and number limits, None for a text), how to say it,
    whether it is asked before, whether it is audited (and so needs an API
    token of the change scope), and whether a free text follows the user ID
    on the command line."""

    def __init__(self, member, fields, saying, confirm=False, audited=True, free_text=False):
        self.member, self.fields, self.saying = member, fields, saying
        self.confirm, self.audited, self.free_text = confirm, audited, free_text


CHANGES = {
    "credits": Change("GiveCredits", [("amount", INT32)], "give {amount} credits to {user}"),
    "days": Change("GiveDays", [("amount", INT32)], "give {amount} days to {user}"),
    "class": Change("SwitchClass", [("newclass", None)], "switch {user} to class {newclass}"),
    "givekey": Change("GiveKey", [("key", None)], "give key {key} to {user}"),
    "takekey": Change("TakeKey", [("key", None)], "take key {key} from {user}"),
    "haskey": Change("HasKey", [("key", None)], "ask whether {user} holds key {key}",
                     audited=False),
    "suspend": Change("SuspendUser", [], "suspend {user}"),
    "unsuspend": Change("UnSuspendUser", [], "unsuspend {user}"),
    "delete": Change("DeleteUser", [], "delete {user}", confirm=True),
    "undelete": Change("UnDeleteUser", [], "undelete {user}", confirm=True),
    "field": Change("UpdateUserField", [("field", INT16), ("newdata", None)],
                    "set field {field} of {user} to “{newdata}”", free_text=True),
}
# Arguments that the host reads up to the next blank: one with a blank
# would hand the rest to the user ID, and change another account.
ONE_WORD_ARGUMENTS = {"key": "a key", "newclass": "a class"}

# The questions of a lookup: name in the API, label, WG member, reading.
LOOKUP = [
    ("exists", "Exists", "UserIDExists", "yesno"),
    ("suspended", "Suspended", "IsSuspended", "yesno"),
    ("online", "Online", "UserOnline", "yesno"),
    ("master", "Master key", "HasMaster", "yesno"),
    ("credits", "Credits", "NumberofCredits", "number"),
    ("days", "Days", "NumberOfDays", "number"),
    ("last_login", "Last login", "LastLogin", "date"),
    ("created", "Created", "CreationDate", "date"),
    ("primary_class", "Primary class", "PrimaryClass", "text"),
    ("current_class", "Current class", "CurrentClass", "text"),
]

# The system variables that the simulator's sample accounts document.
SYSTEM_VARIABLES = {
    1: "users on line now",
    2: "registered users",
    3: "calls today",
    4: "messages today",
}


class Refused(Exception):
    """An argument the console does not send; the text says why."""


def shorten(text, length=SAID_LENGTH):
    text = str(text)
    return text if len(text) <= length else text[:length - 1] + "…"


def whole_number(value, limits):
    """`value` (a text, or an int from JSON) as an int within the (lowest,
    highest) pair `limits`, or None."""
    if isinstance(value, bool):
        return None
    if isinstance(value, int):
        number = value
    else:
        try:
            number = int(str(value))
        except ValueError:
            return None
    return number if limits[0] <= number <= limits[1] else None


def prepare(kind, user, values):
    """The arguments of the change `kind` for `user` from `values` (name to
    text or number), and what the change says. Raises Refused for an
    argument that cannot be sent as the command means it."""
    if not isinstance(user, str) or not user:
        raise Refused("Name a user.")
    arguments, said = [], {"user": shorten(user)}
    for name, limits in kind.fields:
        value = values.get(name, "")
        if limits is not None:
            number = whole_number(value, limits)
            if number is None:
                raise Refused(f"“{shorten(value)}” is not a whole number from {limits[0]} "
                              f"to {limits[1]}.")
            value = number
        elif not isinstance(value, str):
            raise Refused(f"The {name} is not a text.")
        elif name in ONE_WORD_ARGUMENTS and (not value or value != "".join(value.split())):
            raise Refused(f"{ONE_WORD_ARGUMENTS[name].capitalize()} is one word without "
                          "blanks: the host would read the part after a blank as the user ID.")
        arguments.append(value)
        said[name] = shorten(value)
    if kind.free_text and FREE_TEXT_SEPARATOR in user:
        raise Refused(f"A user ID holding {FREE_TEXT_SEPARATOR} cannot be sent with a field "
                      "text: the host would split the line at the first "
                      f"{FREE_TEXT_SEPARATOR}.")
    return arguments, kind.saying.format(**said)


@dataclass
class Outcome:
    """How a change went: the host's CommandReturn, or why it was not asked."""
    kind: Change
    user: str
    arguments: list
    saying: str
    result: object = None
    failure: object = None
    audited: object = None  # True, False, or None when no audit was due

    @property
    def done(self):
        return (self.result is not None and self.result.error_object.number == 0
                and (not self.kind.audited or self.result.long_value == 1))

    def message(self):
        """The outcome in words, with its category (success, info, warning,
        error)."""
        if self.failure is not None:
            return f"Could not {self.saying}: {self.failure}.", "error"
        number = self.result.error_object.number
        if number != 0:
            return (f"Could not {self.saying}: "
                    f"{words(number, self.result.error_object.description)}."), "error"
        if not self.kind.audited:
            answer = "yes" if self.result.long_value == 1 else "no"
            return (f"Asked whether {shorten(self.user)} holds key "
                    f"{shorten(self.arguments[0])}: {answer}."), "info"
        if self.result.long_value != 1:
            return f"The host did not confirm that it did {self.saying}.", "error"
        if not self.audited:
            return f"Done: {self.saying}. The audit message could not be written.", "warning"
        return f"Done: {self.saying}.", "success"


def carry_out(page, kind, user, arguments, saying, actor):
    """Runs one change on the host page `page` and, when the host confirmed
    it, writes the audit message naming `actor`."""
    outcome = Outcome(kind, user, arguments, saying)
    try:
        outcome.result = page.call(kind.member, user, *arguments)
    except HostError as failure:
        outcome.failure = failure
        return outcome
    if outcome.done and kind.audited:
        try:
            audit = page.call("AuditMessage", f"Console: {actor} did {saying}")
            outcome.audited = audit.error_object.number == 0
        except HostError:
            outcome.audited = False
    return outcome


@dataclass
class Answer:
    """One question of a lookup: its CommandReturn, or the error it raised."""
    name: str
    label: str
    reading: str
    result: object = None
    failure: object = None

    @property
    def failed(self):
        return self.failure is not None or self.result.error_object.number != 0

    def shown(self):
        """The answer as the page shows it."""
        if self.failure is not None:
            return str(self.failure)
        number = self.result.error_object.number
        if number != 0:
            return words(number, self.result.error_object.description)
        if self.reading == "yesno":
            return "yes" if self.result.long_value == 1 else "no"
        if self.reading == "date":
            return date_in_words(self.result.long_value)
        if self.reading == "number":
            return str(self.result.long_value)
        return self.result.string_value or "(none)"


@dataclass
class Lookup:
    user: str
    answers: list = field(default_factory=list)
    failure: object = None  # the HostError that stopped the lookup

    @property
    def exists(self):
        return bool(self.answers) and not self.answers[0].failed \
            and self.answers[0].result.long_value == 1


def look_up(page, user):
    """Asks the host everything about `user`, all questions at once. When
    the user does not exist, or the first answer is an error that every
    other would repeat, only that first answer is kept."""
    lookup = Lookup(user)
    try:
        answers = page.ask([(member, (user,)) for _, _, member, _ in LOOKUP])
    except HostError as failure:
        lookup.failure = failure
        return lookup
    for (name, label, _, reading), answer in zip(LOOKUP, answers):
        if isinstance(answer, NotANumber):
            lookup.answers.append(Answer(name, label, reading, failure=answer))
        else:
            lookup.answers.append(Answer(name, label, reading, result=answer))
    if not lookup.exists:
        del lookup.answers[1:]
    return lookup


def date_in_words(number):
    """A host date (YYYYMMDD as a number) as a date with the number beside
    it; 0 is never."""
    if number == 0:
        return "never (0)"
    try:
        date = datetime.datetime.strptime(str(number), "%Y%m%d").date()
    except ValueError:
        return str(number)
    return f"{date.day} {date:%B %Y} ({number})"


def system_variable(page, number):
    """The CommandReturn of system variable `number`. Raises HostError."""
    return page.call("SystemVariable", number)


def audit_message(page, actor, message):
    """Writes `message` to the host's audit trail, naming `actor`. Raises
    Refused for an empty message and HostError."""
    if not isinstance(message, str) or not message.strip():
        raise Refused("The audit message is empty.")
    return page.call("AuditMessage", f"Console: {actor}: {message}")


def result_fields(result):
    """A CommandReturn as the four result properties of the gateway."""
    return {"error_number": result.error_object.number,
            "error_description": result.error_object.description,
            "answer_long": result.long_value,
            "answer_string": result.string_value}
