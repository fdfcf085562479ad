# SPDX-License-Identifier: MIT

"""The pages of the accounts: look a user up, change one, and the recent
changes made through the console."""

import logging

from flask import Blueprint, abort, g, redirect, render_template, request, url_for

from . import console, service
from .auth import notify
from .host import words

log = logging.getLogger(__name__)
bp = Blueprint("accounts", __name__)


@bp.get("/")
def index():
    return redirect(url_for("accounts.lookup"))


@bp.get("/user")
def lookup():
    state = console()
    user = request.args.get("id", "")
    lookup = service.look_up(state.host.page(), user) if user else None
    deleted = state.history.deleted(user) if user else None
    return render_template("user.html", user=user, lookup=lookup, deleted=deleted,
                           changes=service.CHANGES)


@bp.post("/user/change")
def change():
    user = request.form.get("user", "")
    action = request.form.get("action", "")
    kind = service.CHANGES.get(action)
    if not user or kind is None:
        abort(400, "The form named no user or no known change.")
    try:
        arguments, saying = service.prepare(kind, user, request.form)
    except service.Refused as refusal:
        notify(str(refusal), "error")
        return redirect(url_for("accounts.lookup", id=user), 303)
    if kind.confirm and request.form.get("confirm") != "yes":
        return render_template("confirm.html", user=user, saying=saying, action=action)
    outcome = run_change(action, user, arguments, saying, g.admin)
    notify(*outcome.message())
    return redirect(url_for("accounts.lookup", id=user), 303)


def run_change(action, user, arguments, saying, actor):
    """Carries out a prepared change and keeps it in the history; the API
    calls this too."""
    state = console()
    kind = service.CHANGES[action]
    outcome = service.carry_out(state.host.page(), kind, user, arguments, saying, actor)
    if kind.audited:
        if outcome.failure is not None:
            said = str(outcome.failure)
        else:
            number = outcome.result.error_object.number
            said = words(number, outcome.result.error_object.description)
            if number == 0 and not outcome.done:
                said = "not confirmed by the host"
        state.history.record(actor, action, user, saying, said, outcome.done)
        log.info("%s: %s: %s", actor, saying, said)
    return outcome


@bp.get("/history")
def history():
    return render_template("history.html", entries=console().history.recent())
