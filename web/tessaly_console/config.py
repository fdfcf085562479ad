# SPDX-License-Identifier: MIT

"""The console's configuration file: where the host's secret phrase is, the
key that signs session cookies, the socket timeouts and the administrators
with their password hashes.

    [console]
    secret_file = /etc/tessaly/secret
    session_key = 64 hex digits, written by add-admin when missing
    connect_timeout = 2
    receive_timeout = 3
    secure_cookies = no

    [admins]
    alice = pbkdf2:sha256:...

The file holds password hashes and the cookie key: keep it readable by the
console's user only (add-admin writes it with mode 0600).
"""

import configparser
import os
import secrets
from dataclasses import dataclass, field
from pathlib import Path

from werkzeug.security import generate_password_hash

# Short enough that a silent host costs a page a few seconds, not forty.
DEFAULT_CONNECT_TIMEOUT = 2.0
DEFAULT_RECEIVE_TIMEOUT = 3.0
SESSION_KEY_BYTES = 32
PRIVATE_FILE_MODE = 0o600


class ConfigError(Exception):
    """The configuration file is missing something the console needs."""


@dataclass
class Config:
    secret_file: Path
    session_key: str
    connect_timeout: float = DEFAULT_CONNECT_TIMEOUT
    receive_timeout: float = DEFAULT_RECEIVE_TIMEOUT
    secure_cookies: bool = False
    admins: dict = field(default_factory=dict)


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
    try:
        config = Config(
            secret_file=Path(console["secret_file"]),
            session_key=console["session_key"],
            connect_timeout=float(console.get("connect_timeout", DEFAULT_CONNECT_TIMEOUT)),
            receive_timeout=float(console.get("receive_timeout", DEFAULT_RECEIVE_TIMEOUT)),
            secure_cookies=parser.getboolean("console", "secure_cookies", fallback=False),
            admins=dict(parser["admins"]) if parser.has_section("admins") else {})
    except ValueError as error:
        raise ConfigError(f"{path}: {error}") from None
    return config


def add_admin(path, name, password, secret_file=None):
    """Adds or replaces the administrator `name` in the file at `path`,
    creating the file (and its cookie key) when needed."""
    if not name or any(c in name for c in "=:[]\r\n") or name != name.strip():
        raise ConfigError("an administrator's name cannot be empty or hold = : [ ] or line breaks")
    if not password:
        raise ConfigError("the password cannot be empty")
    parser = _parser()
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            parser.read_file(f)
    if not parser.has_section("console"):
        parser.add_section("console")
    if secret_file is not None:
        parser["console"]["secret_file"] = str(secret_file)
    if not parser["console"].get("session_key"):
        parser["console"]["session_key"] = secrets.token_hex(SESSION_KEY_BYTES)
    if not parser.has_section("admins"):
        parser.add_section("admins")
    parser["admins"][name] = generate_password_hash(password)
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
