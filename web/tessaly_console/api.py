# SPDX-License-Identifier: MIT

"""The JSON API under /api/v1/: the same lookups and changes as the pages,
for script pages in any language. A request carries an API token
(Authorization: Bearer TOKEN); a token of scope "read" may look up, one of
scope "change" may also change. Every answer that the host gave carries
its CommandReturn as the gateway's four result properties."""

import hmac
import logging

from flask import Blueprint, g, jsonify, request

import morvane

from . import config as config_file
from . import API_PREFIX, console, service
from .accounts import run_change
from .auth import client_address
from .host import HostBusy, HostDown, HostError, HostTooSlow, NotANumber, words
from .openapi import document

log = logging.getLogger(__name__)
bp = Blueprint("api", __name__, url_prefix=API_PREFIX)
Result = morvane.Result

# The HTTP status of a result code; codes not named here say that the host
# failed (502). Names, not numbers: the module holds the codes.
STATUS_OF_RESULT = {
    Result.SUCCESS: 200,
    Result.NO_SUCH_USER: 404,
    Result.NO_SUCH_SYSTEM_VARIABLE: 404,
    Result.KEY_TOO_LONG: 400,
    Result.INVALID_CHARACTER: 400,
    Result.MALFORMED_REQUEST: 400,
    Result.NO_SUCH_CLASS: 400,
    Result.NEGATIVE_DAYS: 409,
    Result.USER_PROTECTED: 409,
    Result.NOT_COMPLIED: 409,
    Result.SERVER_BUSY: 503,
    Result.BAD_COMMUNICATION: 504,
}
HOST_FAILED = 502
# Seconds a client is told to wait when the host is busy.
BUSY_RETRY_AFTER = 1


def status_of(number):
    try:
        return STATUS_OF_RESULT.get(Result(number), HOST_FAILED)
    except ValueError:
        return HOST_FAILED


def failure_answer(failure):
    """The answer for a question the host could not be asked."""
    cause = failure.cause if isinstance(failure, HostDown) else failure
    headers = {}
    if isinstance(cause, HostTooSlow):
        status = 504
    elif isinstance(cause, HostBusy):
        status, headers = 503, {"Retry-After": str(BUSY_RETRY_AFTER)}
    elif isinstance(cause, NotANumber):
        status = HOST_FAILED
    else:
        status = status_of(cause.number)
    return jsonify(error=str(failure), error_number=getattr(cause, "number", None)), \
        status, headers


def refused(text, status=400, headers=None):
    return jsonify(error=text), status, headers or {}


@bp.before_request
def authenticate():
    if request.endpoint == "api.openapi":
        return None
    state = console()
    config = state.config()
    address = client_address(config)
    wait = state.token_throttle.retry_after(address, address)
    if wait:
        return refused("Too many requests with unknown tokens.", 429, {"Retry-After": str(wait)})
    scheme, _, token = request.headers.get("Authorization", "").partition(" ")
    found = None
    if scheme.lower() == "bearer" and token:
        digest = config_file.token_digest(token.strip())
        for name, (scope, stored) in config.tokens.items():
            if hmac.compare_digest(stored, digest):
                found = (name, scope)
    if found is None:
        state.token_throttle.failed(address, address)
        log.warning("API request from %s with no known token", address)
        return refused("An API token is needed: Authorization: Bearer TOKEN.", 401,
                       {"WWW-Authenticate": 'Bearer realm="account console"'})
    wait = state.api_rate.retry_after(found[0])
    if wait:
        return refused("Too many requests for this token.", 429, {"Retry-After": str(wait)})
    g.token_name, g.token_scope = found
    return None


def needs_change_scope():
    if g.token_scope != "change":
        return refused(f"The token {g.token_name} may only read.", 403)
    return None


@bp.get("/openapi.json")
def openapi():
    return jsonify(document())


@bp.get("/users/<user>")
def read_user(user):
    lookup = service.look_up(console().host.page(), user)
    if lookup.failure is not None:
        return failure_answer(lookup.failure)
    fields = {}
    for answer in lookup.answers:
        if answer.failure is not None:
            fields[answer.name] = {"error": str(answer.failure)}
        else:
            fields[answer.name] = dict(service.result_fields(answer.result),
                                       shown=answer.shown())
    first = lookup.answers[0]
    if first.failed:
        status = HOST_FAILED if first.failure is not None \
            else status_of(first.result.error_object.number)
    else:
        status = 200 if lookup.exists else 404
    return jsonify(user=user, exists=lookup.exists, fields=fields), status


def make_change(user, action):
    kind = service.CHANGES[action]
    if kind.audited:
        wrong_scope = needs_change_scope()
        if wrong_scope:
            return wrong_scope
    values = request.get_json(silent=True)
    if not isinstance(values, dict):
        values = {}
    try:
        arguments, saying = service.prepare(kind, user, values)
    except service.Refused as refusal:
        return refused(str(refusal))
    outcome = run_change(action, user, arguments, saying, f"token {g.token_name}")
    if outcome.failure is not None:
        return failure_answer(outcome.failure)
    number = outcome.result.error_object.number
    text, _ = outcome.message()
    if number != 0:
        status = status_of(number)
    elif kind.audited and not outcome.done:
        status = HOST_FAILED  # the host's answer did not confirm the change
    else:
        status = 200
    return jsonify(user=user, action=action, done=outcome.done, message=text,
                   audited=outcome.audited,
                   command_return=service.result_fields(outcome.result)), status


def _register_changes():
    for action in service.CHANGES:
        def view(user, action=action):
            return make_change(user, action)
        bp.add_url_rule(f"/users/<user>/{action}", endpoint=f"change_{action}", view_func=view,
                        methods=["POST"])


_register_changes()


@bp.get("/system/<int(signed=True):number>")
def system_variable(number):
    if service.whole_number(number, service.INT32) is None:
        return refused(f"{number} is not a whole number of 32 bits.")
    try:
        result = service.system_variable(console().host.page(), number)
    except HostError as failure:
        return failure_answer(failure)
    return jsonify(number=number, name=service.SYSTEM_VARIABLES.get(number),
                   command_return=service.result_fields(result)), \
        status_of(result.error_object.number)


@bp.post("/audit")
def audit():
    wrong_scope = needs_change_scope()
    if wrong_scope:
        return wrong_scope
    values = request.get_json(silent=True)
    message = values.get("message") if isinstance(values, dict) else None
    try:
        result = service.audit_message(console().host.page(), f"token {g.token_name}", message)
    except service.Refused as refusal:
        return refused(str(refusal))
    except HostError as failure:
        return failure_answer(failure)
    number = result.error_object.number
    return jsonify(written=number == 0,
                   message=words(number, result.error_object.description),
                   command_return=service.result_fields(result)), status_of(number)
