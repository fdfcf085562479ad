# SPDX-License-Identifier: MIT

"""The account console: a small web application through which administrators
look up and change the host's accounts.

    app = tessaly_console.create_app("/etc/tessaly/console.ini")

Run it with a WSGI server (python3 -m tessaly_console serve starts waitress).
"""

import hmac
import logging
import secrets
import threading
import time

from flask import (Flask, abort, flash, redirect, render_template, request, session, url_for)
from werkzeug.security import check_password_hash, generate_password_hash

import morvane

from . import config as config_file
from .host import Host, HostError, HostUnavailable, NotANumber, words

log = logging.getLogger(__name__)

# The wait after a failed sign-in grows with the failures from one address,
# up to a cap, and is reset by a successful one.
SIGNIN_DELAY = 1.0
SIGNIN_DELAY_CAP = 10.0
# Addresses remembered with their failures; past this the oldest are forgotten
# so that a flood of addresses cannot fill the memory.
SIGNIN_ADDRESSES_KEPT = 10000
# A signed-in session ends after this many seconds, even if its cookie lives on.
SESSION_SECONDS = 8 * 60 * 60
# Limits of the numbers the host's commands take.
INT32 = (-2**31, 2**31 - 1)
INT16 = (-2**15, 2**15 - 1)

SECURITY_HEADERS = {
    "Content-Security-Policy": "default-src 'none'; style-src 'self'; img-src 'self'; "
                               "form-action 'self'; frame-ancestors 'none'; base-uri 'none'",
    "X-Frame-Options": "DENY",
    "X-Content-Type-Options": "nosniff",
    "Referrer-Policy": "same-origin",
}


class Change:
    """One kind of change a form can ask for: the WG member, the form fields
    it takes (in the member's order after the user ID) and how to say it."""

    def __init__(self, member, fields, saying, confirm=False, audited=True):
        self.member, self.fields, self.saying = member, fields, saying
        self.confirm, self.audited = confirm, audited


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
                    "set field {field} of {user} to “{newdata}”"),
}

# The lookup page: label, WG member, how the answer reads.
LOOKUP = [
    ("Exists", "UserIDExists", "yesno"),
    ("Suspended", "IsSuspended", "yesno"),
    ("Online", "UserOnline", "yesno"),
    ("Master key", "HasMaster", "yesno"),
    ("Credits", "NumberofCredits", "number"),
    ("Days", "NumberOfDays", "number"),
    ("Last login", "LastLogin", "number"),
    ("Created", "CreationDate", "number"),
    ("Primary class", "PrimaryClass", "text"),
    ("Current class", "CurrentClass", "text"),
]


class SignInThrottle:
    """Counts failed sign-ins per client address."""

    def __init__(self, delay):
        self.delay = delay
        self._failures = {}
        self._lock = threading.Lock()

    def failed(self, address):
        """Records a failure and waits before the answer goes back."""
        with self._lock:
            count = self._failures.pop(address, 0) + 1
            self._failures[address] = count  # now the newest
            while len(self._failures) > SIGNIN_ADDRESSES_KEPT:
                del self._failures[next(iter(self._failures))]
        time.sleep(min(self.delay * count, SIGNIN_DELAY_CAP))

    def succeeded(self, address):
        with self._lock:
            self._failures.pop(address, None)


def create_app(config_path, signin_delay=SIGNIN_DELAY):
    """The console for the configuration file at `config_path`. Sets the
    process's socket timeouts from it. Raises config.ConfigError when the
    file or the secret file cannot be read."""
    config = config_file.load(config_path)
    secret = config_file.read_secret(config.secret_file)
    morvane.set_socket_timeouts(connect=config.connect_timeout, receive=config.receive_timeout)

    app = Flask(__name__)
    app.config.update(SECRET_KEY=config.session_key, SESSION_COOKIE_HTTPONLY=True,
                      SESSION_COOKIE_SAMESITE="Strict",
                      SESSION_COOKIE_SECURE=config.secure_cookies,
                      SESSION_COOKIE_NAME="tessaly_console")
    admins = config.admins
    throttle = SignInThrottle(signin_delay)
    # Compared against when the name is unknown, so that both cost the same.
    unknown_admin_hash = generate_password_hash(secrets.token_hex(16))

    def csrf_token():
        if "csrf" not in session:
            session["csrf"] = secrets.token_urlsafe(32)
        return session["csrf"]

    app.jinja_env.globals["csrf_token"] = csrf_token

    @app.before_request
    def guard():
        if request.method == "POST":
            sent = request.form.get("csrf", "")
            if not sent or not hmac.compare_digest(sent, session.get("csrf", "")):
                abort(400, "The form was stale or not sent by this console; try again.")
        if request.endpoint in ("signin", "static") or request.endpoint is None:
            return None
        signed_in = session.get("since", 0)
        if session.get("admin") not in admins or time.time() - signed_in > SESSION_SECONDS:
            session.pop("admin", None)
            return redirect(url_for("signin"))
        return None

    @app.after_request
    def headers(response):
        for name, value in SECURITY_HEADERS.items():
            response.headers.setdefault(name, value)
        if request.endpoint != "static":
            response.headers["Cache-Control"] = "no-store"
        return response

    @app.errorhandler(400)
    @app.errorhandler(404)
    @app.errorhandler(405)
    def error_page(error):
        return render_template("error.html", error=error), error.code

    @app.get("/")
    def index():
        return redirect(url_for("lookup"))

    @app.route("/signin", methods=["GET", "POST"])
    def signin():
        if request.method == "GET":
            return render_template("signin.html")
        name = request.form.get("name", "")
        password = request.form.get("password", "")
        stored = admins.get(name)
        valid = check_password_hash(stored or unknown_admin_hash, password) and stored is not None
        address = request.remote_addr or ""
        if not valid:
            throttle.failed(address)
            log.warning("failed sign-in from %s", address)
            flash("The name or the password is wrong.", "error")
            return render_template("signin.html", name=name), 401
        throttle.succeeded(address)
        session.clear()  # a fresh session and token after signing in
        session["admin"] = name
        session["since"] = time.time()
        return redirect(url_for("lookup"))

    @app.post("/signout")
    def signout():
        session.clear()
        flash("Signed out.", "info")
        return redirect(url_for("signin"))

    @app.get("/user")
    def lookup():
        user = request.args.get("id", "")
        rows, failure = [], None
        if user:
            rows, failure = look_up(Host(secret), user)
        return render_template("user.html", user=user, rows=rows, failure=failure,
                               changes=CHANGES)

    @app.post("/user/change")
    def change():
        user = request.form.get("user", "")
        kind = CHANGES.get(request.form.get("action", ""))
        if not user or kind is None:
            abort(400, "The form named no user or no known change.")
        values = {"user": user}
        arguments = []
        for name, limits in kind.fields:
            text = request.form.get(name, "")
            if limits is not None:
                number = whole_number(text, limits)
                if number is None:
                    flash(f"“{text}” is not a whole number from {limits[0]} to {limits[1]}.",
                          "error")
                    return redirect(url_for("lookup", id=user), 303)
                arguments.append(number)
                values[name] = number
            else:
                arguments.append(text)
                values[name] = text
        saying = kind.saying.format(**values)
        if kind.confirm and request.form.get("confirm") != "yes":
            return render_template("confirm.html", user=user, saying=saying,
                                   action=request.form["action"])
        flash(*carry_out(Host(secret), kind, user, arguments, saying))
        return redirect(url_for("lookup", id=user), 303)

    def carry_out(host, kind, user, arguments, saying):
        """Runs one change and, when the host confirmed it, writes the audit
        message. Returns the flash message and its category."""
        try:
            result = host.call(kind.member, user, *arguments)
        except HostError as failure:
            return f"Could not {saying}: {failure}.", "error"
        number = result.error_object.number
        if number != 0:
            return f"Could not {saying}: {words(number)}.", "error"
        if not kind.audited:
            answer = "yes" if result.long_value == 1 else "no"
            return f"Asked whether {user} holds key {arguments[0]}: {answer}.", "info"
        if result.long_value != 1:
            return f"The host did not confirm that it did {saying}.", "error"
        admin = session["admin"]
        log.info("%s: %s", admin, saying)
        try:
            audit = host.call("AuditMessage", f"Console: {admin} did {saying}")
            audited = audit.error_object.number == 0
        except HostError:
            audited = False
        if not audited:
            return f"Done: {saying}. The audit message could not be written.", "warning"
        return f"Done: {saying}.", "success"

    @app.get("/system")
    def system():
        number_text = request.args.get("number", "")
        answer = None
        if number_text:
            number = whole_number(number_text, INT32)
            if number is None:
                answer = ("error", f"“{number_text}” is not a whole number.")
            else:
                answer = system_variable(Host(secret), number)
        return render_template("system.html", number=number_text, answer=answer)

    @app.post("/system/audit")
    def audit():
        message = request.form.get("message", "")
        if not message.strip():
            flash("The audit message is empty.", "error")
            return redirect(url_for("system"), 303)
        admin = session["admin"]
        try:
            result = Host(secret).call("AuditMessage", f"Console: {admin}: {message}")
            number = result.error_object.number
            if number == 0:
                flash("The audit message was written.", "success")
            else:
                flash(f"The audit message was not written: {words(number)}.", "error")
        except HostError as failure:
            flash(f"The audit message was not written: {failure}.", "error")
        return redirect(url_for("system"), 303)

    return app


def whole_number(text, limits):
    """`text` as an int within the (lowest, highest) pair `limits`, or None."""
    try:
        number = int(text)
    except ValueError:
        return None
    return number if limits[0] <= number <= limits[1] else None


def look_up(host, user):
    """The rows of the lookup page and the session failure that stopped it."""
    rows = []
    for label, member, reading in LOOKUP:
        try:
            result = host.call(member, user)
        except HostUnavailable as failure:
            return rows, str(failure)
        except NotANumber as failure:
            rows.append((label, str(failure), True))
            continue
        number = result.error_object.number
        if number != 0:
            rows.append((label, words(number), True))
            if number == morvane.Result.NO_SUCH_USER:
                break  # every other question would say the same
            continue
        if reading == "yesno":
            value = "yes" if result.long_value == 1 else "no"
        elif reading == "number":
            value = str(result.long_value)
        else:
            value = result.string_value or "(none)"
        rows.append((label, value, False))
        if member == "UserIDExists" and result.long_value != 1:
            break
    return rows, None


def system_variable(host, number):
    try:
        result = host.call("SystemVariable", number)
    except HostError as failure:
        return ("error", str(failure))
    if result.error_object.number != 0:
        return ("error", words(result.error_object.number))
    return ("value", str(result.long_value))
