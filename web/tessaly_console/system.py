# SPDX-License-Identifier: MIT

"""The host's system variables and its audit trail."""

from flask import Blueprint, g, redirect, render_template, request, url_for

from . import console, service
from .auth import notify
from .host import HostError, words

bp = Blueprint("system", __name__)


@bp.get("/system")
def system():
    number_text = request.args.get("number", "")
    answer = None
    if number_text:
        number = service.whole_number(number_text, service.INT32)
        if number is None:
            answer = ("error", f"“{service.shorten(number_text)}” is not a whole number.")
        else:
            try:
                result = service.system_variable(console().host.page(), number)
                if result.error_object.number != 0:
                    answer = ("error", words(result.error_object.number,
                                             result.error_object.description))
                else:
                    answer = ("value", str(result.long_value))
            except HostError as failure:
                answer = ("error", str(failure))
    return render_template("system.html", number=number_text, answer=answer,
                           named=service.SYSTEM_VARIABLES)


@bp.post("/system/audit")
def audit():
    try:
        result = service.audit_message(console().host.page(), g.admin,
                                       request.form.get("message", ""))
        number = result.error_object.number
        if number == 0:
            notify("The audit message was written.", "success")
        else:
            notify("The audit message was not written: "
                   f"{words(number, result.error_object.description)}.", "error")
    except service.Refused as refusal:
        notify(str(refusal), "error")
    except HostError as failure:
        notify(f"The audit message was not written: {failure}.", "error")
    return redirect(url_for("system.system"), 303)
