# SPDX-License-Identifier: MIT
"""The page as a person uses it, in headless Chromium: controls found by
their accessible names, typed key by key, read as shown.
Usage: /usr/bin/python3 page_test.py SITE-FOLDER OUTPUT-FOLDER"""
import os
import sys
import time

from selenium.common.exceptions import WebDriverException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Server, chromium  # noqa: E402

site, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
os.makedirs(out, exist_ok=True)
downloads = os.path.join(out, "downloads")
os.makedirs(downloads, exist_ok=True)
failures = []
passed = 0

RESULTS = ["Personal Exemption Table A", "CT Income Tax from Table B", "Tax Credit Decimal Table C",
           "CT Personal Tax Credit", "Property Tax Credit Allowance", "Connecticut State Income Tax"]
STATUS = ["Single", "Married", "Separately", "Household"]


def check(name, got, want):
    global passed
    if got == want:
        passed += 1
    else:
        failures.append(name)
        print("FAIL: %s: got %r, expected %r" % (name, got, want))


def box(name):
    return d.find_element(By.XPATH, "//input[@aria-label='%s']" % name)


def results():
    return [box(name).get_attribute("value") for name in RESULTS]


def item(name):
    return d.find_element(By.XPATH, "//fieldset[@aria-label='Select Filing Status']//label[normalize-space()='%s']/input" % name)


def type_into(name, text):
    """Empties the box (an empty box is warned about) and types `text` key by
    key, closing each warning with Enter; returns the warnings while typing."""
    global warnings_seen
    target = box(name)
    target.click()
    target.send_keys(Keys.CONTROL, "a")
    target.send_keys(Keys.BACKSPACE)
    close_dialogs()
    warnings_seen = 0
    for key in text:
        target.send_keys(key)
        close_dialogs()


def dialog_text():
    return d.execute_script("const g = document.getElementById('dialog');"
                            "return g.open ? document.getElementById('dialog-text').textContent : null;")


warnings_seen = 0


def close_dialogs():
    global warnings_seen
    while dialog_text() is not None:
        warnings_seen += 1
        d.switch_to.active_element.send_keys(Keys.ENTER)


def focused_name():
    return d.execute_script("const e = document.activeElement; return e.getAttribute('aria-label') || e.id;")


def stored():
    return d.execute_script("return localStorage.getItem('cttax.fig');")


def file_menu(entry):
    """File > the entry whose text starts with `entry`."""
    d.find_element(By.XPATH, "//div[@role='menubar']/button[normalize-space()='File']").click()
    d.find_element(By.XPATH, "//div[@role='menu']/button[starts-with(normalize-space(), '%s')]" % entry).click()


def set_stored(text):
    """Stores `text` from another page of the site: the page itself stores its
    own state whenever it is left."""
    d.get(server.address + "manifest.webmanifest")
    d.execute_script("localStorage.setItem('cttax.fig', arguments[0]);", text)


def open_page(fragment="", fresh=False):
    d.get(server.address + "index.html" + fragment)
    if fresh:
        d.execute_script("localStorage.clear();")
        d.get(server.address + "index.html" + fragment)
    wait_for(lambda: d.execute_script("return !!document.getElementById('Edit8');"), "the page's controls")


def wait_for(condition, what, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        try:
            if condition():
                return True
        except WebDriverException:
            pass
        time.sleep(0.05)
    failures.append("timed out waiting for " + what)
    print("FAIL: timed out waiting for " + what)
    return False


def shot(name):
    d.save_screenshot(os.path.join(out, name + ".png"))


server = Server(site)
d = chromium(downloads)
try:
    open_page(fresh=True)
    check("accessible names of the boxes", [box(n).accessible_name for n in ["CT Adjusted Gross Income"] + RESULTS],
          ["CT Adjusted Gross Income"] + RESULTS)
    check("results read-only", all(box(n).get_attribute("readonly") is not None for n in RESULTS), True)
    check("first start: focus on the first status item", d.switch_to.active_element == item("Single"), True)
    check("first start: the results of 0", results(), ["13000", "0", "0", "0", "0", "0"])

    # The worked examples, typed key by key.
    examples = [("Single", "16300", "0", ["13000", "99", "0.75", "74", "0", "25"], 0),
                ("Married", "60000", "1200", ["12000", "2000", "0.1", "200", "500", "1300"], 0),
                ("Household", "40000", "0", ["17000", "830", "0.15", "124", "0", "706"], 0),
                ("Single", "23050", "0", ["13000", "302", "0.2", "60", "0", "242"], 0),
                ("Separately", "3e4", "3e2", ["6000", "1000", "0.1", "100", "300", "600"], 1)]
    for status, agi, tax, want, warnings in examples:
        item(status).click()
        type_into("CT Property Tax Paid", tax)
        type_into("CT Adjusted Gross Income", agi)
        check("typed %s %s %s" % (status, agi, tax), results(), want)
        check("warnings typing %s" % agi, warnings_seen, warnings)
    shot("cttax-web")

    # The warning: modal, its text, the focus back in the box after Enter.
    agi = box("CT Adjusted Gross Income")
    agi.send_keys("x")
    check("warning text", dialog_text(), "Error in CT AGI entry.")
    check("warning is modal", d.execute_script("return document.getElementById('dialog').matches(':modal');"), True)
    shot("cttax-web-warning")
    d.switch_to.active_element.send_keys(Keys.ENTER)
    check("focus back in the box after the warning", focused_name(), "CT Adjusted Gross Income")
    agi.send_keys(Keys.BACKSPACE)

    # Arrow keys in the status group select and wrap.
    item("Household").click()
    d.switch_to.active_element.send_keys(Keys.ARROW_DOWN)
    check("arrow down from Household wraps to Single", item("Single").is_selected(), True)

    # Help: Alt+H shows it, Escape closes it.
    d.switch_to.active_element.send_keys(Keys.ALT, "h")
    help_shown = "return !document.getElementById('OstrelFhelp').hidden;"
    check("help shown by Alt+H", d.execute_script(help_shown), True)
    check("help text", d.find_element(By.XPATH, "//textarea[@aria-label='Instructions']").get_attribute("value")[:41],
          "       INSTRUCTIONS FOR USING CONNECTICUT")
    shot("cttax-web-help")
    d.switch_to.active_element.send_keys(Keys.ESCAPE)
    check("help closed by Escape", d.execute_script(help_shown), False)

    # The home page opens in a new tab.
    tabs = len(d.window_handles)
    d.find_element(By.XPATH, "//div[@role='menubar']/button[normalize-space()='Kaldo Home Page']").click()
    wait_for(lambda: len(d.window_handles) == tabs + 1, "the home page's tab")
    main_tab = d.current_window_handle
    for handle in d.window_handles:
        if handle != main_tab:
            d.switch_to.window(handle)
            d.close()
    d.switch_to.window(main_tab)

    # File > Exit stores the five lines; a reload restores them.
    item("Married").click()
    type_into("CT Property Tax Paid", "1200")
    type_into("CT Adjusted Gross Income", "60000")
    # Dragged by its title bar from 10,10 (the first start's place) to 120,40.
    bar = d.find_element(By.CSS_SELECTOR, "#OstrelF .titlebar .caption")
    ActionChains(d).move_to_element(bar).click_and_hold().move_by_offset(55, 15).move_by_offset(55, 15).release().perform()
    resources = d.execute_script("return performance.getEntriesByType('resource').length;")
    file_menu("Exit")
    desktop_lines = "40\r\n120\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n"
    check("Exit stores the desktop's five lines", stored(), desktop_lines)
    check("no request made since the page loaded",
          d.execute_script("return performance.getEntriesByType('resource').length;"), resources)
    open_page()
    check("reload: the amounts back", [box("CT Adjusted Gross Income").get_attribute("value"),
                                       box("CT Property Tax Paid").get_attribute("value")], ["60000", "1200"])
    check("reload: Married and its results", [item("Married").is_selected()] + results(),
          [True, "12000", "2000", "0.1", "200", "500", "1300"])
    check("reload: the window where it was",
          d.execute_script("const f = document.getElementById('OstrelF'); return [f.offsetLeft, f.offsetTop];"),
          [120, 40])

    # Export gives the desktop's bytes.
    file_menu("Export")
    exported = os.path.join(downloads, "cttax.fig")
    wait_for(lambda: os.path.exists(exported) and os.path.getsize(exported) > 0, "the exported file")
    with open(exported, "rb") as f:
        check("export: the desktop's bytes", f.read(), desktop_lines.encode())

    # Import of a desktop cttax.fig restores it.
    desktop_file = os.path.join(out, "desktop.fig")
    with open(desktop_file, "wb") as f:
        f.write(b"300\r\n400\r\n 1.63000000000000E+0004\r\n 0.00000000000000E+0000\r\n0\r\n")
    file_menu("Import")
    d.find_element(By.ID, "import-file").send_keys(desktop_file)
    wait_for(lambda: box("CT Adjusted Gross Income").get_attribute("value") == "16300", "the imported figures")
    check("import: Single and its results", [item("Single").is_selected()] + results(),
          [True, "13000", "99", "0.75", "74", "0", "25"])
    check("import: stored byte for byte", stored(), "300\r\n400\r\n 1.63000000000000E+0004\r\n 0.00000000000000E+0000\r\n0\r\n")

    # Storage full: the save is reported, the stored text stays as it was.
    before = stored()
    d.execute_script("Storage.prototype.setItem = function () {"
                     " throw new DOMException('full', 'QuotaExceededError'); };")
    file_menu("Exit")
    check("storage full reported", dialog_text(), "Disk full.\ncttax.fig")
    close_dialogs()
    check("storage full: the stored text kept", stored(), before)

    # A damaged stored text is reported once, and the window opens.
    set_stored("5\r\n6\r\n1,234\r\n7\r\n1\r\n")
    d.get(server.address + "index.html")
    wait_for(lambda: dialog_text() is not None, "the damaged file's report")
    check("damaged text reported", dialog_text(), "Invalid numeric input.\ncttax.fig")
    d.switch_to.active_element.send_keys(Keys.ENTER)
    check("reported once", dialog_text(), None)

    # A link's figures; the stored settings untouched until the user changes something.
    set_stored(desktop_lines)
    open_page("#household,40000,0")
    check("link: its figures and results", [item("Household").is_selected()] + results(),
          [True, "17000", "830", "0.15", "124", "0", "706"])
    d.get("about:blank")
    open_page()
    check("link: the stored settings untouched", stored(), desktop_lines)
    open_page("#married,abc,0")
    check("link: a bad amount warned as typed", dialog_text(), "Error in CT AGI entry.")
    close_dialogs()

    # Offline: the server gone, the page still loads and computes.
    wait_for(lambda: d.execute_script("return !!navigator.serviceWorker.controller;"), "the service worker")
    server.stop()
    open_page()
    type_into("CT Adjusted Gross Income", "16300")
    item("Single").click()
    type_into("CT Property Tax Paid", "0")
    check("offline: loads and computes", results(), ["13000", "99", "0.75", "74", "0", "25"])

    check("installable: no installability errors",
          d.execute_cdp_cmd("Page.getInstallabilityErrors", {}).get("installabilityErrors"), [])
    severe = [e["message"] for e in d.get_log("browser") if e["level"] == "SEVERE"
              and "cttax.example.org" not in e["message"] and "favicon" not in e["message"]]
    check("no errors on the console", severe, [])
finally:
    d.quit()

# The browser's language's decimal symbol: shown and taken, at the first
# visit (no service worker yet) and at a later one.
server = Server(site)
d = chromium(downloads, language="de-DE")
try:
    for visit in ("first", "later"):
        open_page("#single,16300,0")
        check("de-DE %s visit: the credit decimal with a comma" % visit, box(RESULTS[2]).get_attribute("value"), "0,75")
        wait_for(lambda: d.execute_script("return !!navigator.serviceWorker.controller;"), "the service worker")
    type_into("CT Adjusted Gross Income", "16300,5")
    check("de-DE: a comma taken without a warning", [warnings_seen, box(RESULTS[0]).get_attribute("value")], [0, "13000"])
finally:
    d.quit()
    server.stop()

print("web page: %d passed, %d failed (screenshots in %s)" % (passed, len(failures), out))
sys.exit(1 if failures else 0)
