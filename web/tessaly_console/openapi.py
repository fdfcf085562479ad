# SPDX-License-Identifier: MIT

"""The OpenAPI 3 document of the JSON API, built from the same tables as
the routes (the changes, the lookup's questions), so the two cannot part."""

from . import service

COMMAND_RETURN = {
    "type": "object",
    "description": "The gateway's CommandReturn as its four result properties.",
    "properties": {
        "error_number": {"type": "integer", "description": "0, or the negative result code"},
        "error_description": {"type": "string"},
        "answer_long": {"type": "integer"},
        "answer_string": {"type": "string"},
    },
    "required": ["error_number", "error_description", "answer_long", "answer_string"],
}
ERROR = {"type": "object", "properties": {"error": {"type": "string"},
                                          "error_number": {"type": ["integer", "null"]}},
         "required": ["error"]}
USER = {"name": "user", "in": "path", "required": True, "schema": {"type": "string"},
        "description": "The user ID (it may hold blanks; not a slash)."}

# What the statuses mean, for every operation that asks the host.
HOST_STATUSES = {
    "400": "An argument was refused, by the console before sending or by the host.",
    "401": "No known API token.",
    "404": "No such user (or system variable).",
    "409": "The host declined the change (protected user, negative days, could not comply).",
    "429": "Too many requests; the Retry-After header says when to come back.",
    "502": "The host failed: unreachable, refused the secret, or an answer not understood.",
    "503": "The host, or the console's line to it, is busy; see Retry-After.",
    "504": "The host did not answer in time.",
}

ARGUMENT_SCHEMAS = {
    "amount": {"type": "integer", "minimum": service.INT32[0], "maximum": service.INT32[1]},
    "field": {"type": "integer", "minimum": service.INT16[0], "maximum": service.INT16[1]},
    "key": {"type": "string", "maxLength": 15, "pattern": "^\\S+$"},
    "newclass": {"type": "string", "pattern": "^\\S+$"},
    "newdata": {"type": "string"},
}


def _responses(ok, schema):
    responses = {"200": {"description": ok,
                         "content": {"application/json": {"schema": schema}}}}
    for status, text in HOST_STATUSES.items():
        responses[status] = {"description": text,
                             "content": {"application/json": {"schema": ERROR}}}
    return responses


def _change(action, kind):
    scope = "change" if kind.audited else "read"
    operation = {
        "operationId": f"change_{action}",
        "summary": kind.saying.format(user="{user}", **{n: "{" + n + "}" for n, _ in kind.fields}),
        "description": f"Calls {kind.member}. Needs a token of scope {scope}."
                       + (" Writes an audit message that names the token." if kind.audited
                          else ""),
        "parameters": [USER],
        "responses": _responses("The host's answer.", {
            "type": "object",
            "properties": {"user": {"type": "string"}, "action": {"type": "string"},
                           "done": {"type": "boolean"}, "message": {"type": "string"},
                           "audited": {"type": ["boolean", "null"]},
                           "command_return": COMMAND_RETURN}}),
    }
    if kind.fields:
        operation["requestBody"] = {"required": True, "content": {"application/json": {
            "schema": {"type": "object",
                       "properties": {name: ARGUMENT_SCHEMAS[name] for name, _ in kind.fields},
                       "required": [name for name, _ in kind.fields]}}}}
    return operation


def document():
    paths = {
        "/users/{user}": {"get": {
            "operationId": "read_user",
            "summary": "Everything the host says about a user",
            "description": "Asks all the lookup's questions at once. When the user does not "
                           "exist, only the answer of UserIDExists is given (status 404).",
            "parameters": [USER],
            "responses": _responses("The user's fields.", {
                "type": "object",
                "properties": {
                    "user": {"type": "string"}, "exists": {"type": "boolean"},
                    "fields": {"type": "object", "properties": {
                        name: {"allOf": [COMMAND_RETURN], "description": f"{member}: {label}"}
                        for name, label, member, _ in service.LOOKUP}}}})}},
        "/system/{number}": {"get": {
            "operationId": "system_variable",
            "summary": "A system variable of the host",
            "parameters": [{"name": "number", "in": "path", "required": True,
                            "schema": ARGUMENT_SCHEMAS["amount"]}],
            "responses": _responses("The variable's value in answer_long.", {
                "type": "object", "properties": {"number": {"type": "integer"},
                                                 "name": {"type": ["string", "null"]},
                                                 "command_return": COMMAND_RETURN}})}},
        "/audit": {"post": {
            "operationId": "audit_message",
            "summary": "Write a message to the host's audit trail (scope change)",
            "requestBody": {"required": True, "content": {"application/json": {"schema": {
                "type": "object", "properties": {"message": {"type": "string"}},
                "required": ["message"]}}}},
            "responses": _responses("The host's answer.", {
                "type": "object", "properties": {"written": {"type": "boolean"},
                                                 "message": {"type": "string"},
                                                 "command_return": COMMAND_RETURN}})}},
        "/openapi.json": {"get": {
            "operationId": "openapi", "summary": "This document", "security": [],
            "responses": {"200": {"description": "The OpenAPI document."}}}},
    }
    for action, kind in service.CHANGES.items():
        paths[f"/users/{{user}}/{action}"] = {"post": _change(action, kind)}
    return {
        "openapi": "3.1.0",
        "info": {"title": "Account console API", "version": "1",
                 "description": "Look up and change the host's accounts. Tokens: python3 -m "
                                "tessaly_console add-token NAME --scope read|change."},
        "servers": [{"url": "/api/v1"}],
        "security": [{"token": []}],
        "components": {"securitySchemes": {"token": {"type": "http", "scheme": "bearer"}}},
        "paths": paths,
    }
