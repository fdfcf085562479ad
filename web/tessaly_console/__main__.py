# SPDX-License-Identifier: MIT

"""python3 -m tessaly_console add-admin NAME | serve

    add-admin NAME   adds or replaces an administrator; the password is asked
                     twice on a terminal, else read as one line from stdin
    serve            serves the console with waitress
"""

import argparse
import getpass
import logging
import os
import sys

from . import config as config_file

DEFAULT_CONFIG = "/etc/tessaly/console.ini"
DEFAULT_LISTEN = "127.0.0.1:8080"
WORKER_THREADS = 8


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
    serve = commands.add_parser("serve", help="serve the console")
    serve.add_argument("--listen", default=DEFAULT_LISTEN, help="HOST:PORT to listen on")
    args = parser.parse_args(argv)

    try:
        if args.command == "add-admin":
            config_file.add_admin(args.config, args.name, read_password(), args.secret_file)
            print(f"administrator {args.name} written to {args.config}")
            return 0
        from waitress import serve as waitress_serve

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
