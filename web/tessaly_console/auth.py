# SPDX-License-Identifier: MIT

"""Signing in and out, and the guard in front of every page: a live
server-side session and, for forms, the form token."""

import hmac
import logging
import secrets

from flask import (Blueprint, abort, flash, g, get_flashed_messages, redirect, render_template,
                   request, session, url_for)
from werkzeug.security import check_password_hash

from . import console, for_the_api

log = logging.getLogger(__name__)
bp = Blueprint("auth", __name__)

# Pages open without signing in (the API checks its own tokens).
OPEN_ENDPOINTS = {"auth.signin", "static"}


def client_address(config):
    """The client's address: the proxy's X-Forwarded-For (its last entry,
    the one the proxy itself added) only when the request comes from a
    proxy the configuration names, else the connection's own address."""
    address = request.remote_addr or ""
    forwarded = request.headers.get("X-Forwarded-For", "")
    if address in config.proxy_addresses and forwarded:
        return forwarded.split(",")[-1].strip()
    return address


def csrf_token():
    if "csrf" not in session:
        session["csrf"] = secrets.token_urlsafe(32)
    return session["csrf"]


def notify(text, category):
    """A message for the next page of this session. Kept on the server with
    the session: a long message would not fit in a cookie."""
    record = g.get("session_record")
    if record is not None:
        record.messages.append((category, text))
    else:
        flash(text, category)


def messages():
    """The messages waiting for this page, taken away as they are shown."""
    waiting = list(get_flashed_messages(with_categories=True))
    record = g.get("session_record")
    if record is not None:
        while record.messages:
            waiting.append(record.messages.popleft())
    return waiting


@bp.app_context_processor
def template_helpers():
    return {"csrf_token": csrf_token, "messages": messages, "admin": g.get("admin")}


def safe_next(target):
    """`target` when it is a path on this console, else None: never an
    address elsewhere (//host or /\\host would be one)."""
    if target and target.startswith("/") and not target.startswith(("//", "/\\")):
        return target
    return None


@bp.before_app_request
def guard():
    if for_the_api():
        return None
    if request.method == "POST":
        sent = request.form.get("csrf", "")
        if not sent or not hmac.compare_digest(sent, session.get("csrf", "")):
            abort(400, "The form was stale or not sent by this console; try again.")
    if request.endpoint in OPEN_ENDPOINTS or request.endpoint is None:
        return None
    state = console()
    found = state.sessions.find(session.get("sid"), state.config().admins)
    if found is None:
        session.pop("sid", None)
        wanted = None
        if request.method == "GET" and request.path != "/":
            query = request.query_string.decode("ascii", "replace")
            wanted = request.path + (f"?{query}" if query else "")
        return redirect(url_for("auth.signin", next=wanted))
    g.admin, g.session_record = found.admin, found
    return None


@bp.route("/signin", methods=["GET", "POST"])
def signin():
    wanted = safe_next(request.values.get("next"))
    if request.method == "GET":
        return render_template("signin.html", next=wanted)
    state = console()
    config = state.config()
    name = request.form.get("name", "")
    password = request.form.get("password", "")
    address = client_address(config)
    wait = state.signin_throttle.retry_after(name, address)
    if wait:
        log.warning("sign-in as %r from %s refused: too many failures, %d s to wait",
                    name, address, wait)
        flash(f"Too many failed sign-ins. Try again in {wait} seconds.", "error")
        page = render_template("signin.html", name=name, next=wanted)
        return page, 429, {"Retry-After": str(wait)}
    stored = config.admins.get(name)
    valid = check_password_hash(stored or state.unknown_admin_hash, password)
    if not valid or stored is None:
        state.signin_throttle.failed(name, address)
        log.warning("failed sign-in as %r from %s", name, address)
        flash("The name or the password is wrong.", "error")
        return render_template("signin.html", name=name, next=wanted), 401
    state.signin_throttle.succeeded(name)
    state.sessions.end(session.get("sid"))
    session.clear()  # a fresh session and form token after signing in
    session["sid"] = state.sessions.start(name, stored)
    log.info("%s signed in from %s", name, address)
    return redirect(wanted or url_for("accounts.lookup"))


@bp.post("/signout")
def signout():
    console().sessions.end(session.get("sid"))
    log.info("%s signed out", g.admin)
    session.clear()
    flash("Signed out.", "info")
    return redirect(url_for("auth.signin"))
