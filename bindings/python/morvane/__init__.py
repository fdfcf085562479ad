# SPDX-License-Identifier: MIT

"""Administration of bulletin-board accounts through the host's server module.

Create a WG and call one command per request, passing the secret phrase first.
The server's address comes from morvane.ini in the Windows directory ($WINDIR).
"""

from ._morvane import (RECEIVE_PROMPT, RECEIVE_TEXT, CommandReturn, MyErrObject, PlatformError,
                       Result, Socket, WG, __version__, get_socket_timeouts,
                       set_socket_timeouts)

__all__ = ["RECEIVE_PROMPT", "RECEIVE_TEXT", "CommandReturn", "MyErrObject", "PlatformError",
           "Result", "Socket", "WG", "__version__", "get_socket_timeouts", "set_socket_timeouts"]

# Show the classes where users import them from (Result is made so already).
for _class in (CommandReturn, MyErrObject, PlatformError, Socket, WG):
    _class.__module__ = __name__
del _class
