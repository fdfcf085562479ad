# SPDX-License-Identifier: MIT

"""WG from Python: results, errors, refusals and threads."""

import threading
import time

import pytest

import morvane

OK_TEXT = "No error occured, return value is a literal answer"


def test_a_new_object_has_empty_results():
    wg = morvane.WG()
    assert (wg.error_number, wg.error_description,
            wg.answer_long, wg.answer_string) == (0, "", 0, "")


def test_a_command_returns_a_record_and_sets_the_properties(serve):
    server = serve(b"Credits is : 150\xf5\r\n")
    wg = morvane.WG()
    result = wg.NumberofCredits("s3cret", "Zoë")
    assert result.error_object.number == 0
    assert result.error_object.description == OK_TEXT
    assert (result.long_value, result.string_value) == (150, "")
    assert (wg.error_number, wg.answer_long) == (0, 150)
    assert server.lines == [b"s3cret\r\n", "NUMBEROFCREDITS Zoë\r\n".encode("cp1252")]
    assert "long_value=150" in repr(result)


def test_texts_come_back_as_str(serve):
    serve(b"Class is : Caf\xe9\xf5\r\n")
    assert morvane.WG().PrimaryClass("s", "bob").string_value == "Café"


def test_the_result_properties_are_read_only():
    with pytest.raises(AttributeError):
        morvane.WG().error_number = 5


def test_a_platform_error_is_raised_with_its_number(windir, serve):
    serve(b"is : lots\xf5\r\n")
    wg = morvane.WG()
    with pytest.raises(morvane.PlatformError) as raised:
        wg.NumberOfDays("s", "bob")
    assert raised.value.number == 13
    assert raised.value.description == "Type mismatch"
    assert wg.error_number == 0  # left as it was

    (windir / "morvane.ini").write_bytes(b"127.0.0.1".ljust(40) + b"port".ljust(20))
    with pytest.raises(morvane.PlatformError) as raised:
        wg.GetLocalPort()
    assert raised.value.args == (13, "Type mismatch")


def test_line_breaks_are_refused_without_a_connection(serve):
    server = serve(b"User is deleted\r\n")
    result = morvane.WG().DeleteUser("s", "bob\r\nDELETEUSER alice")
    assert (result.error_object.number, result.string_value) == (-109, "Error")
    assert result.error_object.description == "Error Code -109: Invalid character in argument"
    assert server.lines == []


@pytest.mark.parametrize("call", [
    lambda wg: wg.GiveCredits("s", "bob", "5"),
    lambda wg: wg.GiveDays("s", "bob", 2**31),
    lambda wg: wg.UpdateUserField("s", "bob", 40000, "x"),
    lambda wg: wg.SystemVariable("s", 1.5),
    lambda wg: wg.UserIDExists("s", 7),
])
def test_arguments_of_the_wrong_type_are_refused_without_a_connection(serve, call):
    server = serve(b"Ok\r\n")
    with pytest.raises(TypeError):
        call(morvane.WG())
    assert server.lines == []


def test_commands_take_their_arguments_by_name(serve):
    server = serve(b"Ok\r\n")
    result = morvane.WG().UpdateUserField(secret="s", userid="bob", field=-2, newdata="a b")
    assert result.long_value == 1
    assert server.lines[1] == b"UPDATEUSERFIELD -2 bob%%a b\r\n"
    assert morvane.WG.HasKey.__doc__.startswith("HasKey(self, secret: str, userid: str, key: str)")


def test_settings_readers_and_socket(windir, serve):
    serve(b"")
    wg = morvane.WG()
    assert wg.GetRemoteHost() == "127.0.0.1"
    assert "not connected" in repr(wg.InitWinsock())


def test_close_waits_for_a_receive_of_another_thread(windir):
    import socket
    from conftest import write_settings
    with socket.create_server(("127.0.0.1", 0)) as silent:
        write_settings(windir, silent.getsockname()[1])
        morvane.set_socket_timeouts(receive=0.6)
        sock = morvane.WG().InitWinsock()
        assert sock.Connect() == -1
        received = []
        reader = threading.Thread(target=lambda: received.append(sock.Receive()))
        reader.start()
        time.sleep(0.2)  # the reader is waiting for an answer
        start = time.monotonic()
        sock.Close()  # taken after the Receive, never under it
        assert time.monotonic() - start >= 0.2
        reader.join(5)
        assert received == [(0, "")]
        assert "not connected" in repr(sock)


def test_logit_returns_the_composed_line(windir):
    line = morvane.WG().Logit("hello")
    assert line.endswith(" - hello")
    assert (windir / "tarnel.log").read_bytes() == b'"' + line.encode() + b'"\r\n'


def test_socket_timeouts_can_be_set():
    from datetime import timedelta
    morvane.set_socket_timeouts(connect=1, receive=2.5, quiet_gap=timedelta(milliseconds=20))
    assert morvane.get_socket_timeouts() == {
        "connect": timedelta(seconds=1), "receive": timedelta(seconds=2.5),
        "quiet_gap": timedelta(milliseconds=20)}


def test_a_slow_server_does_not_stall_other_threads(windir, serve):
    import conftest
    serve(b"Yes\r\n", delay=1.5)  # the settings point at it
    fast = conftest.ScriptedServer(b"Yes\r\n")
    finished = {}

    def call(name):
        start = time.monotonic()
        morvane.WG().UserIDExists("s", name)
        finished[name] = time.monotonic() - start

    slow_thread = threading.Thread(target=call, args=("slow",))
    slow_thread.start()
    time.sleep(0.2)  # the slow session is waiting for its reply
    conftest.write_settings(windir, fast.port)
    fast_calls = [threading.Thread(target=call, args=(f"fast{i}",)) for i in range(4)]
    for thread in fast_calls:
        thread.start()
    for thread in fast_calls:
        thread.join(5)
    assert all(finished[f"fast{i}"] < 1.0 for i in range(4)), finished
    assert "slow" not in finished  # still waiting while the others were served
    slow_thread.join(5)
    assert finished["slow"] >= 1.4
    fast.close()


def test_against_the_simulator(wgsim):
    wg = morvane.WG()
    assert wg.UserIDExists("s3cret", "Sysop").long_value == 1
    assert wg.NumberofCredits("s3cret", "Sysop").long_value == 100000
    assert wg.PrimaryClass("s3cret", "Sysop").string_value == "SYSOP"
    assert wg.GiveCredits("s3cret", "Sysop", 5).long_value == 1
    assert wg.NumberofCredits("s3cret", "Sysop").long_value == 100005
    assert "credits = 100005" in wgsim.read_text()
    wrong = wg.AuthUser("not the secret", "Sysop", "change-me")
    assert (wrong.error_object.number, wg.error_number) == (-503, -503)


def test_the_example_page(wgsim, monkeypatch):
    import importlib.util
    from conftest import REPO
    found = importlib.util.spec_from_file_location("account_page",
                                                   REPO / "examples" / "account_page.py")
    page = importlib.util.module_from_spec(found)
    found.loader.exec_module(page)
    monkeypatch.setenv("WG_SECRET", "s3cret")
    statuses = []
    body = b"".join(page.account_page({"QUERY_STRING": "user=Sysop"},
                                      lambda status, headers: statuses.append(status)))
    assert statuses == ["200 OK"]
    assert b"<th>Credits</th><td>100000</td>" in body
    assert b"<th>Primary class</th><td>SYSOP</td>" in body
    page.account_page({"PATH_INFO": "/etc/passwd"}, lambda status, headers: statuses.append(status))
    assert statuses[-1] == "404 Not Found"


def test_the_example_page_stops_at_a_silent_host(windir):
    import importlib.util
    import socket
    from conftest import REPO, write_settings
    found = importlib.util.spec_from_file_location("account_page",
                                                   REPO / "examples" / "account_page.py")
    page = importlib.util.module_from_spec(found)
    found.loader.exec_module(page)
    with socket.create_server(("127.0.0.1", 0)) as silent:
        write_settings(windir, silent.getsockname()[1])
        morvane.set_socket_timeouts(receive=0.5)
        start = time.monotonic()
        body = b"".join(page.account_page({"QUERY_STRING": "user=bob"}, lambda *_: None))
    assert time.monotonic() - start < 1.5  # one timeout, not four
    assert b"-506" in body


def test_the_module_describes_itself():
    assert morvane.__version__.count(".") == 2
    assert (morvane.Result.NO_SUCH_USER, morvane.Result.BAD_COMMUNICATION) == (-101, -506)
    assert morvane.Result(-109).name == "INVALID_CHARACTER"
    members = [name for name in dir(morvane.WG) if not name.startswith("_")]
    assert len(members) == 33
    # pybind11 puts the signature first on methods; the prose comes after it.
    undocumented = [name for name in members
                    if len((getattr(morvane.WG, name).__doc__ or "").split()) < 8]
    assert undocumented == []
    assert 'Sends "GIVECREDITS creds userid"' in morvane.WG.GiveCredits.__doc__


def test_the_type_stubs_match_the_module():
    import ast
    from pathlib import Path
    stub = ast.parse((Path(morvane.__file__).parent / "__init__.pyi").read_text())
    classes = {node.name: node for node in stub.body if isinstance(node, ast.ClassDef)}
    codes = {item.targets[0].id: ast.literal_eval(item.value)
             for item in classes["Result"].body if isinstance(item, ast.Assign)}
    assert codes == {code.name: code.value for code in morvane.Result}
    # The C++ list is the one source: every code of result_codes.h, and no
    # other, under its name in capitals (kNoSuchUser: NO_SUCH_USER).
    import re
    from conftest import REPO
    header = (REPO / "gateway/include/tessaly/morvane/result_codes.h").read_text()
    cpp_codes = {re.sub(r"(?<!^)(?=[A-Z])", "_", name).upper(): int(value)
                 for name, value in re.findall(r"int32_t k(\w+) = (-?\d+);", header)}
    assert len(cpp_codes) >= 16
    assert codes == cpp_codes
    stub_members = {item.name for item in classes["WG"].body
                    if isinstance(item, ast.FunctionDef) and not item.name.startswith("_")}
    assert stub_members == {name for name in dir(morvane.WG) if not name.startswith("_")}


@pytest.mark.parametrize("timeouts", [
    {"receive": float("inf")}, {"connect": float("nan")}, {"quiet_gap": -0.5},
    {"connect": 1, "receive": float("-inf")}])
def test_socket_timeouts_refuse_endless_and_negative_values(timeouts):
    before = morvane.get_socket_timeouts()
    with pytest.raises(ValueError):
        morvane.set_socket_timeouts(**timeouts)
    assert morvane.get_socket_timeouts() == before  # nothing half-changed


def test_one_timeout_can_be_set_alone():
    from datetime import timedelta
    before = morvane.get_socket_timeouts()
    morvane.set_socket_timeouts(receive=2)
    assert morvane.get_socket_timeouts() == dict(before, receive=timedelta(seconds=2))


def test_results_can_be_read_while_a_call_runs(serve):
    serve(b"Credits is : 7\xf5\r\n", delay=1.5)
    wg = morvane.WG()
    thread = threading.Thread(target=wg.NumberofCredits, args=("s", "bob"))
    thread.start()
    time.sleep(0.3)  # the call waits for its reply, holding the object
    start = time.monotonic()
    assert (wg.error_number, wg.answer_long, wg.answer_string) == (0, 0, "")
    assert time.monotonic() - start < 0.2
    thread.join(5)
    assert wg.answer_long == 7


def test_huge_timeouts_are_clamped_not_overflowed():
    from datetime import timedelta
    before = morvane.get_socket_timeouts()
    try:
        morvane.set_socket_timeouts(receive=1e17)
        assert morvane.get_socket_timeouts()["receive"] == timedelta(hours=1)
    finally:
        morvane.set_socket_timeouts(**before)
