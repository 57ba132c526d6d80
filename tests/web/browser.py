# SPDX-License-Identifier: MIT
"""The page in Debian's headless Chromium, driven through chromium-driver:
a local server for the page's folder that can be stopped, and a browser
with a fresh profile of its own."""
import functools
import http.server
import os
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class Server:
    """Serves FOLDER on 127.0.0.1 at a free port until stopped."""

    def __init__(self, folder):
        handler = functools.partial(Quiet, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.address = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def chromium(downloads, width=1024, height=768, language=None):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="cttax-chromium-")
    # This machine's network is closed: no background connections, no
    # first-run or sync traffic; /dev/shm is small in containers, so the
    # browser keeps its shared memory in /tmp.
    for flag in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height)):
        options.add_argument(flag)
    prefs = {"download.default_directory": downloads, "download.prompt_for_download": False}
    if language:
        options.add_argument("--lang=" + language)
        prefs["intl.accept_languages"] = language
    options.add_experimental_option("prefs", prefs)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    return driver
