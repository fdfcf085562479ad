# SPDX-License-Identifier: MIT

"""The console's configuration file: where the host's secret phrase is, the
key that signs session cookies, the socket timeouts and the administrators
with their password hashes.

    [console]
    secret_file = /etc/tessaly/secret
    session_key = 64 hex digits, written by add-admin when missing
    connect_timeout = 2
    receive_timeout = 3
    page_deadline = 5
    host_down_seconds = 10
    secure_cookies = no
    proxy_addresses = 127.0.0.1     (only behind a proxy: whose X-Forwarded-For to believe)
    api_requests_per_second = 5

    [admins]
    alice = pbkdf2:sha256:...

    [tokens]
    billing = change:SHA-256 of the token in hex

The file holds password hashes, token hashes and the cookie key: keep it
readable by the console's user only (add-admin and add-token write it with
mode 0600; the console refuses to start when others may read it).

The running console reads the file again when it changes, so a new or
removed administrator or token, or a new password, counts at once.
"""

import configparser
import hashlib
import logging
import os
import secrets
import stat
import threading
from dataclasses import dataclass, field
from pathlib import Path

from werkzeug.security import generate_password_hash

# Short enough that a silent host costs a page a few seconds, not forty.
DEFAULT_CONNECT_TIMEOUT = 2.0
DEFAULT_RECEIVE_TIMEOUT = 3.0
# All the host questions of one page end by then, answered or not.
DEFAULT_PAGE_DEADLINE = 5.0
# After a failure to reach the host, pages answer at once for this long.
DEFAULT_HOST_DOWN_SECONDS = 10.0
DEFAULT_API_REQUESTS_PER_SECOND = 5.0
SESSION_KEY_BYTES = 32
# A shorter cookie key could be guessed; the console does not start with one.
SESSION_KEY_MINIMUM = 32
PRIVATE_FILE_MODE = 0o600
TOKEN_SCOPES = ("read", "change")
# The host's character set: names end up in its audit messages.
HOST_ENCODING = "cp1252"

log = logging.getLogger(__name__)


class ConfigError(Exception):
    """The configuration file is missing something the console needs."""


@dataclass
class Config:
    secret_file: Path
    session_key: str
    connect_timeout: float = DEFAULT_CONNECT_TIMEOUT
    receive_timeout: float = DEFAULT_RECEIVE_TIMEOUT
    page_deadline: float = DEFAULT_PAGE_DEADLINE
    host_down_seconds: float = DEFAULT_HOST_DOWN_SECONDS
    secure_cookies: bool = False
    proxy_addresses: frozenset = frozenset()
    api_requests_per_second: float = DEFAULT_API_REQUESTS_PER_SECOND
    admins: dict = field(default_factory=dict)
    # Token name to (scope, SHA-256 of the token in hex).
    tokens: dict = field(default_factory=dict)


def _parser():
    # Names as written: administrators' names are case-sensitive.
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    return parser


def load(path):
    """Reads the configuration at `path`. Raises ConfigError when the file or
    one of the settings the console needs is missing or not valid."""
    parser = _parser()
    try:
        with open(path, encoding="utf-8") as f:
            parser.read_file(f)
    except OSError as error:
        raise ConfigError(f"cannot read {path}: {error.strerror}") from None
    except configparser.Error as error:
        raise ConfigError(f"{path}: {error}") from None
    console = parser["console"] if parser.has_section("console") else {}
    if not console.get("secret_file"):
        raise ConfigError(f"{path}: [console] secret_file is not set")
    if not console.get("session_key"):
        raise ConfigError(f"{path}: [console] session_key is not set (add-admin writes one)")
    if len(console["session_key"]) < SESSION_KEY_MINIMUM:
        raise ConfigError(f"{path}: [console] session_key is shorter than "
                          f"{SESSION_KEY_MINIMUM} characters (remove it and add-admin "
                          "writes a new one)")
    try:
        config = Config(
            secret_file=Path(console["secret_file"]),
            session_key=console["session_key"],
            connect_timeout=float(console.get("connect_timeout", DEFAULT_CONNECT_TIMEOUT)),
            receive_timeout=float(console.get("receive_timeout", DEFAULT_RECEIVE_TIMEOUT)),
            page_deadline=float(console.get("page_deadline", DEFAULT_PAGE_DEADLINE)),
            host_down_seconds=float(console.get("host_down_seconds",
                                                DEFAULT_HOST_DOWN_SECONDS)),
            secure_cookies=parser.getboolean("console", "secure_cookies", fallback=False),
            proxy_addresses=frozenset(console.get("proxy_addresses", "").split()),
            api_requests_per_second=float(console.get("api_requests_per_second",
                                                      DEFAULT_API_REQUESTS_PER_SECOND)),
            admins=dict(parser["admins"]) if parser.has_section("admins") else {},
            tokens=_tokens(path, parser))
    except ValueError as error:
        raise ConfigError(f"{path}: {error}") from None
    return config


def _tokens(path, parser):
    tokens = {}
    if parser.has_section("tokens"):
        for name, value in parser["tokens"].items():
            scope, _, digest = value.partition(":")
            if scope not in TOKEN_SCOPES or len(digest) != 64:
                raise ConfigError(f"{path}: [tokens] {name} is not SCOPE:SHA-256")
            tokens[name] = (scope, digest)
    return tokens


def token_digest(token):
    """What the file keeps of a token: its SHA-256 in hex (a token is random
    and long, so no slow hash is needed)."""
    return hashlib.sha256(token.encode()).hexdigest()


def check_private(path, what):
    """Raises ConfigError when others than the owner's group may read or
    write the file at `path`; returns a warning text when the group may,
    else None."""
    try:
        mode = stat.S_IMODE(os.stat(path).st_mode)
    except OSError as error:
        raise ConfigError(f"cannot read {path}: {error.strerror}") from None
    if mode & 0o007:
        raise ConfigError(f"{what} {path} is open to every user of the machine (mode "
                          f"{mode:o}); chmod 600 it")
    if mode & 0o070:
        return f"{what} {path} is open to its group (mode {mode:o}); chmod 600 is safer"
    return None


class ConfigSource:
    """The configuration file as the running console sees it: read again
    when the file changes. A changed file that cannot be read keeps the
    configuration that was read before, and the error is logged."""

    def __init__(self, path):
        self.path = path
        self._lock = threading.Lock()
        self._stamp = self._stamp_now()
        self._config = load(path)

    def _stamp_now(self):
        try:
            status = os.stat(self.path)
        except OSError:
            return None
        return (status.st_ino, status.st_mtime_ns, status.st_size)

    def current(self):
        """The configuration, read again first if the file changed."""
        stamp = self._stamp_now()
        with self._lock:
            if stamp != self._stamp:
                self._stamp = stamp
                try:
                    self._config = load(self.path)
                    log.info("read %s again", self.path)
                except ConfigError as error:
                    log.error("kept the configuration read before: %s", error)
            return self._config


def add_admin(path, name, password, secret_file=None):
    """Adds or replaces the administrator `name` in the file at `path`,
    creating the file (and its cookie key) when needed."""
    check_name(name, "an administrator's name")
    if not password:
        raise ConfigError("the password cannot be empty")
    parser = _read_for_change(path)
    if secret_file is not None:
        parser["console"]["secret_file"] = str(secret_file)
    if not parser["console"].get("session_key"):
        parser["console"]["session_key"] = secrets.token_hex(SESSION_KEY_BYTES)
    if not parser.has_section("admins"):
        parser.add_section("admins")
    parser["admins"][name] = generate_password_hash(password)
    _write(path, parser)


def remove_admin(path, name):
    """Removes the administrator `name`; their sessions end at once."""
    parser = _read_for_change(path)
    if not parser.has_section("admins") or not parser.remove_option("admins", name):
        raise ConfigError(f"there is no administrator {name}")
    _write(path, parser)


def add_token(path, name, scope):
    """Adds or replaces the API token `name` with `scope` ("read" or
    "change") and returns the new token. Only its hash is kept."""
    check_name(name, "a token's name")
    if scope not in TOKEN_SCOPES:
        raise ConfigError(f"a token's scope is one of {', '.join(TOKEN_SCOPES)}")
    token = secrets.token_urlsafe(32)
    parser = _read_for_change(path)
    if not parser.has_section("tokens"):
        parser.add_section("tokens")
    parser["tokens"][name] = f"{scope}:{token_digest(token)}"
    _write(path, parser)
    return token


def remove_token(path, name):
    """Removes the API token `name`; it is refused from the next request on."""
    parser = _read_for_change(path)
    if not parser.has_section("tokens") or not parser.remove_option("tokens", name):
        raise ConfigError(f"there is no token {name}")
    _write(path, parser)


def check_name(name, what):
    """Refuses names that would break the file or that the host's audit
    messages could not carry."""
    if (not name or any(c in name for c in "=:[]") or name != name.strip()
            or not name.isprintable()):
        raise ConfigError(f"{what} cannot be empty or hold = : [ ], line breaks or "
                          "other control characters")
    try:
        name.encode(HOST_ENCODING)
    except UnicodeEncodeError:
        raise ConfigError(f"{what} can only hold letters of Western European "
                          "(the host's character set)") from None


def _read_for_change(path):
    parser = _parser()
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            parser.read_file(f)
    if not parser.has_section("console"):
        parser.add_section("console")
    return parser


def _write(path, parser):
    # Written beside and renamed over, so a reader never sees half a file.
    temporary = f"{path}.tmp"
    descriptor = os.open(temporary, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, PRIVATE_FILE_MODE)
    # The mode of open() counts only for a file it creates: one left over
    # from before would otherwise keep its own, and the hashes and cookie
    # key would be renamed into place readable by others.
    os.fchmod(descriptor, PRIVATE_FILE_MODE)
    with os.fdopen(descriptor, "w", encoding="utf-8") as f:
        parser.write(f)
    os.replace(temporary, path)


def read_secret(path):
    """The host's secret phrase: the file's first line without its line end."""
    try:
        with open(path, encoding="utf-8") as f:
            return f.readline().rstrip("\r\n")
    except OSError as error:
        raise ConfigError(f"cannot read the secret file {path}: {error.strerror}") from None
