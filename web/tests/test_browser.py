# SPDX-License-Identifier: MIT

"""End to end in a real browser: headless Chromium signs in, looks a user up,
gives credits and sees the new balance. The screenshots stay under
build/screenshots (CONSOLE_SCREENSHOTS overrides the folder)."""

import os
import shutil
import subprocess
import tempfile
import threading
from pathlib import Path

import pytest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from waitress import create_server

import tessaly_console
from conftest import ADMIN, PASSWORD, REPO
from tessaly_console import config as config_file

CHROMIUM = shutil.which("chromium") or "/usr/bin/chromium"
CHROMEDRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
# Headless, and quiet: no first-run pages, no background traffic of its own.
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                  "--no-first-run", "--disable-background-networking",
                  "--disable-component-update", "--disable-sync",
                  "--disable-dev-shm-usage", "--window-size=1100,1250"]
WAIT_SECONDS = 10


@pytest.fixture
def console_url(wgsim, make_config):
    app = tessaly_console.create_app(make_config())
    server = create_server(app, host="127.0.0.1", port=0, threads=4,
                           clear_untrusted_proxy_headers=True)
    thread = threading.Thread(target=server.run, daemon=True)
    thread.start()
    yield f"http://127.0.0.1:{server.effective_port}"
    server.close()


@pytest.fixture
def browser():
    profile = tempfile.mkdtemp(prefix="console-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    driver.implicitly_wait(WAIT_SECONDS)
    yield driver
    driver.quit()
    shutil.rmtree(profile, ignore_errors=True)


def screenshots():
    folder = Path(os.environ.get("CONSOLE_SCREENSHOTS", REPO / "build" / "screenshots"))
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def test_sign_in_look_up_and_give_credits(console_url, browser, wgsim):
    browser.get(console_url + "/user?id=bob")
    assert "/signin" in browser.current_url
    browser.find_element(By.NAME, "name").send_keys(ADMIN)
    browser.find_element(By.NAME, "password").send_keys(PASSWORD)
    browser.find_element(By.CSS_SELECTOR, "form button[type=submit]").click()
    assert fact(browser, "Last login") == "30 May 2024 (20240530)"  # the page asked for

    browser.find_element(By.XPATH, "//form[input[@name='action' and @value='delete']]"
                                   "//button").click()
    # Only the confirmation page has this form: finding it waits for the page.
    browser.find_element(By.XPATH, "//form[input[@name='confirm']]//button").click()
    assert fact(browser, "Deleted").startswith("yes")
    assert not browser.find_elements(By.XPATH, "//input[@name='action' and @value='delete']")

    browser.get(console_url + "/user")
    search = browser.switch_to.active_element  # the focus waits in the search field
    assert search.get_attribute("name") == "id"
    search.send_keys("Alice Smith")
    search.submit()
    assert fact(browser, "Credits") == "1200"
    assert fact(browser, "Primary class") == "PAYING"

    form = browser.find_element(By.XPATH, "//form[input[@name='action' and @value='credits']]")
    form.find_element(By.NAME, "amount").send_keys("250")
    form.find_element(By.TAG_NAME, "button").click()
    assert "Done: give 250 credits to Alice Smith." in browser.find_element(
        By.CSS_SELECTOR, ".flash").text
    assert fact(browser, "Credits") == "1450"
    assert "credits = 1450" in wgsim.account("Alice Smith")
    assert f"Console: {ADMIN} did give 250 credits to Alice Smith" in wgsim.audits()
    assert browser.save_screenshot(str(screenshots() / "console-user.png"))


def fact(browser, label):
    return browser.find_element(By.XPATH, f"//table[@class='facts']//th[text()='{label}']"
                                          "/following-sibling::td").text


def test_the_node_example_looks_up_and_gives_credits(console_url, windir, wgsim):
    token = config_file.add_token(windir / "console.ini", "node-example", "change")
    run = subprocess.run(
        [shutil.which("nodejs") or "node", str(REPO / "examples" / "node" / "account_client.mjs"),
         "Alice Smith", "25"],
        env=dict(os.environ, CONSOLE_URL=console_url, CONSOLE_TOKEN=token),
        capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines() == ["Alice Smith: 1200 credits",
                                       "Done: give 25 credits to Alice Smith.",
                                       "Alice Smith: 1225 credits"]
    assert "Console: token node-example did give 25 credits" in wgsim.audits()
