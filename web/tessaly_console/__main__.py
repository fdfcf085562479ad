# SPDX-License-Identifier: MIT

"""python3 -m tessaly_console add-admin NAME | remove-admin NAME |
                             add-token NAME --scope read|change | remove-token NAME | serve

    add-admin NAME     adds or replaces an administrator; the password is asked
                       twice on a terminal, else read as one line from stdin
    remove-admin NAME  removes an administrator; their sessions end at once
    add-token NAME     adds or replaces an API token and prints it (only once:
                       the file keeps its hash)
    remove-token NAME  removes an API token; it is refused from then on
    serve              serves the console with waitress

A running console reads the configuration file again when it changes.
"""

import argparse
import getpass
import logging
import os
import sys

from . import config as config_file
from .host import PAGES_ASKING_AT_ONCE

DEFAULT_CONFIG = "/etc/tessaly/console.ini"
DEFAULT_LISTEN = "127.0.0.1:8080"
# More threads than pages that may wait for the host at once, so that the
# others always find a thread.
WORKER_THREADS = PAGES_ASKING_AT_ONCE + 4


def read_password():
    if sys.stdin.isatty():
        first = getpass.getpass("Password: ")
        if first != getpass.getpass("Again: "):
            raise config_file.ConfigError("the two passwords differ")
        return first
    return sys.stdin.readline().rstrip("\r\n")


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m tessaly_console",
                                     description="The account console.")
    parser.add_argument("--config", default=os.environ.get("TESSALY_CONSOLE_CONFIG",
                                                           DEFAULT_CONFIG),
                        help=f"the configuration file (default {DEFAULT_CONFIG})")
    commands = parser.add_subparsers(dest="command", required=True)
    add = commands.add_parser("add-admin", help="add or replace an administrator")
    add.add_argument("name")
    add.add_argument("--secret-file", help="also set where the host's secret phrase is")
    remove = commands.add_parser("remove-admin", help="remove an administrator")
    remove.add_argument("name")
    token = commands.add_parser("add-token", help="add or replace an API token")
    token.add_argument("name")
    token.add_argument("--scope", choices=config_file.TOKEN_SCOPES, required=True)
    untoken = commands.add_parser("remove-token", help="remove an API token")
    untoken.add_argument("name")
    serve = commands.add_parser("serve", help="serve the console")
    serve.add_argument("--listen", default=DEFAULT_LISTEN, help="HOST:PORT to listen on")
    args = parser.parse_args(argv)

    try:
        if args.command == "add-admin":
            config_file.add_admin(args.config, args.name, read_password(), args.secret_file)
            print(f"administrator {args.name} written to {args.config}")
            return 0
        if args.command == "remove-admin":
            config_file.remove_admin(args.config, args.name)
            print(f"administrator {args.name} removed from {args.config}")
            return 0
        if args.command == "add-token":
            print(config_file.add_token(args.config, args.name, args.scope))
            return 0
        if args.command == "remove-token":
            config_file.remove_token(args.config, args.name)
            print(f"token {args.name} removed from {args.config}")
            return 0
        from waitress import serve as waitress_serve  # type: ignore[import]

        from . import create_app
        logging.basicConfig(level=logging.INFO, format="%(asctime)s %(name)s %(message)s")
        app = create_app(args.config)
        host, _, port = args.listen.rpartition(":")
        waitress_serve(app, host=host.strip("[]"), port=int(port), threads=WORKER_THREADS,
                       clear_untrusted_proxy_headers=True)
        return 0
    except config_file.ConfigError as error:
        print(f"tessaly_console: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
