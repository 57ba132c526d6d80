# SPDX-License-Identifier: MIT
"""The page's speed in headless Chromium (scripts/bench.sh --web):
- keystroke: a change of the AGI box to the six results written, in the
  page (median over 10,000 edits);
- first paint: the page from a local server against a static page with the
  same controls and no program (its DOM after loading, saved), interleaved,
  medians of 21.
Usage: /usr/bin/python3 web_bench.py SITE-FOLDER WORK-FOLDER"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from browser import Server, chromium  # noqa: E402

site, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
os.makedirs(work, exist_ok=True)
server = Server(site)
d = chromium(work)


def loaded():
    end = time.time() + 10
    while not d.execute_script("return !!document.getElementById('Edit8') && document.getElementById('Edit8').value !== '123456789.00';"):
        if time.time() > end:
            raise SystemExit("the page did not load")
        time.sleep(0.01)


try:
    d.get(server.address + "index.html")
    loaded()
    edits = d.execute_script("""
        const box = document.getElementById('Edit1'), last = document.getElementById('Edit8');
        const times = [];
        const begin = performance.now();
        for (let i = 0; i < 10000; ++i) {
            const start = performance.now();
            box.value = i % 2 ? '60000' : '16300';
            box.dispatchEvent(new Event('input'));
            if (last.value === '') throw new Error('no result');
            times.push(performance.now() - start);
        }
        const mean = (performance.now() - begin) / 10000;
        times.sort((a, b) => a - b);
        return [times[5000], last.value, mean, times[9900]];""")
    # The same controls as static HTML: the page's own DOM once loaded, without its program.
    static = d.execute_script("""
        const copy = document.documentElement.cloneNode(true);
        for (const script of copy.querySelectorAll('script, link[rel=manifest]')) script.remove();
        return '<!doctype html>' + copy.outerHTML;""")
    with open(os.path.join(site, "static-bench.html"), "w") as f:
        f.write(static)
    paint = "return (performance.getEntriesByType('paint').find(e => e.name === 'first-contentful-paint') || {}).startTime;"
    page, plain = [], []
    for _ in range(21):
        for name, times in (("index.html", page), ("static-bench.html", plain)):
            d.get("about:blank")
            d.get(server.address + name)
            if name == "index.html":
                loaded()
            end = time.time() + 5
            while d.execute_script(paint) is None and time.time() < end:
                time.sleep(0.01)
            times.append(d.execute_script(paint))
    files = sum(os.path.getsize(os.path.join(site, f)) for f in os.listdir(site) if f != "static-bench.html")
    # (The browser gives times to 0.1 ms: the mean says what the median rounds away.)
    print("web keystroke over 10,000 edits: median %.1f ms, 99th percentile %.1f ms, mean %.3f ms (last result %s)"
          % (edits[0], edits[3], edits[2], edits[1]))
    print("web first paint from 127.0.0.1: the page %.1f ms, the same controls as static HTML %.1f ms (medians of 21,"
          " interleaved), ratio %.2f" % (statistics.median(page), statistics.median(plain),
                                          statistics.median(page) / statistics.median(plain)))
    print("web page files together %d bytes" % files)
finally:
    d.quit()
    server.stop()
    os.remove(os.path.join(site, "static-bench.html")) if os.path.exists(os.path.join(site, "static-bench.html")) else None
