# SPDX-License-Identifier: MIT

"""The account console: a small web application through which administrators
look up and change the host's accounts, and a JSON API that gives script
pages in any language the same administration.

    app = tessaly_console.create_app("/etc/tessaly/console.ini")

Run it with a WSGI server (python3 -m tessaly_console serve starts waitress).
"""

import datetime
import logging
import secrets
from dataclasses import dataclass

from flask import Flask, current_app, render_template, request
from werkzeug.security import generate_password_hash

import morvane

from . import config as config_file
from .history import History
from .host import Host
from .sessions import SessionStore
from .throttle import FIRST_WAIT_SECONDS, RateLimit, SignInThrottle

log = logging.getLogger(__name__)

# Where the JSON API lives; its answers, errors included, are JSON.
API_PREFIX = "/api/v1"

SECURITY_HEADERS = {
    "Content-Security-Policy": "default-src 'none'; style-src 'self'; img-src 'self'; "
                               "form-action 'self'; frame-ancestors 'none'; base-uri 'none'",
    "X-Frame-Options": "DENY",
    "X-Content-Type-Options": "nosniff",
    "Referrer-Policy": "same-origin",
}


@dataclass
class Console:
    """What the console keeps while it runs, shared by all requests."""
    source: config_file.ConfigSource
    host: Host
    sessions: SessionStore
    signin_throttle: SignInThrottle
    token_throttle: SignInThrottle
    api_rate: RateLimit
    history: History
    unknown_admin_hash: str

    def config(self):
        """The configuration as its file reads now."""
        current = self.source.current()
        current_app.secret_key = current.session_key
        self.api_rate.per_second = current.api_requests_per_second
        return current


def console():
    return current_app.extensions["tessaly_console"]


def for_the_api():
    """Whether the request is one for the JSON API, known route or not."""
    return request.path.startswith(API_PREFIX + "/")


def create_app(config_path, signin_wait=FIRST_WAIT_SECONDS):
    """The console for the configuration file at `config_path`. Sets the
    process's socket timeouts from it. Raises config.ConfigError when the
    file or the secret file cannot be read, or is open to every user;
    logs a warning when it is open to its group. `signin_wait` is the
    first wait after too many failed sign-ins, in seconds."""
    warning = config_file.check_private(config_path, "the configuration file")
    if warning:
        log.warning("%s", warning)
    source = config_file.ConfigSource(config_path)
    config = source.current()
    warning = config_file.check_private(config.secret_file, "the secret file")
    if warning:
        log.warning("%s", warning)
    secret = config_file.read_secret(config.secret_file)
    morvane.set_socket_timeouts(connect=config.connect_timeout, receive=config.receive_timeout)

    app = Flask(__name__)
    app.config.update(SECRET_KEY=config.session_key, SESSION_COOKIE_HTTPONLY=True,
                      SESSION_COOKIE_SAMESITE="Strict",
                      SESSION_COOKIE_SECURE=config.secure_cookies,
                      SESSION_COOKIE_NAME="tessaly_console")
    app.extensions["tessaly_console"] = Console(
        source=source,
        host=Host(secret, config.page_deadline, config.host_down_seconds),
        sessions=SessionStore(),
        signin_throttle=SignInThrottle(signin_wait),
        token_throttle=SignInThrottle(signin_wait),
        api_rate=RateLimit(config.api_requests_per_second),
        history=History(),
        # Compared against when the name is unknown, so that both cost the same.
        unknown_admin_hash=generate_password_hash(secrets.token_hex(16)))

    from . import accounts, api, auth, system
    for blueprint in (auth.bp, accounts.bp, system.bp, api.bp):
        app.register_blueprint(blueprint)

    @app.template_filter("when")
    def when(seconds):
        return datetime.datetime.fromtimestamp(seconds).strftime("%Y-%m-%d %H:%M:%S")

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
        if for_the_api():
            return {"error": error.description}, error.code
        return render_template("error.html", error=error), error.code

    return app
