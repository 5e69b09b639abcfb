#!/usr/bin/python3
"""Figures for the browser version: the size of the page's code, as served and
gzipped; how long headless Chromium takes from navigation to the About
window's first paint, on loopback, for a first visit and for a returning one
(the service worker's copy); and how long one click on Calculate takes to
put its result on the page. Medians of RUNS; the site is served by Python on
127.0.0.1, and nothing leaves the machine.

Usage: bench/web.py BUILD_DIR [RUNS]   (the web preset's build: build/web)
Needs Debian's chromium, chromium-driver and python3-selenium.
"""

import gzip
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
from pagedriver import Server, Trap, button_enabled, click_button, site_policy, start, wait_for  # noqa: E402

OK, CALCULATE = "知道了", "计算"
CODE = ("quaddle.wasm", "quaddle.js", "index.html")
PAGE_FILES = ("quaddle.css", "page.css", "page.js", "sw.js", "manifest.webmanifest")

# performance.now() is coarse outside a cross-origin isolated page, so the
# clicks are timed in batches; each click's result is read from the page.
CLICKS = """
const [batches, batch] = arguments;
const calculate = [...document.querySelectorAll('button')].find(b => b.textContent.trim() === '计算');
const result = (calculate.closest('.q-window') || document).querySelector('textarea');
const times = [];
for (let i = 0; i < batches; ++i) {
    const start = performance.now();
    for (let j = 0; j < batch; ++j) {
        result.value = '';
        calculate.click();
        if (result.value === '') return 'the result was not on the page when the click returned';
    }
    times.push((performance.now() - start) / batch);
}
return times;
"""

# Stages of the start, noted by a script the browser runs before the page's
# own: when the runtime is ready (Emscripten calls Module.onRuntimeInitialized
# just before main) and when the first window is in the page.
STAGES = """
window.quaddleStages = {};
window.Module = {onRuntimeInitialized: () => { quaddleStages.runtime = performance.now(); }};
new MutationObserver((changes, observer) => {
    const desktop = document.getElementById('desktop');
    if (desktop && desktop.firstElementChild) {
        quaddleStages.window = performance.now();
        observer.disconnect();
    }
}).observe(document, {childList: true, subtree: true});
"""

# Null until the first contentful paint has happened; then milliseconds from
# navigation to first paint, first contentful paint, the .wasm received, the
# runtime ready and the window in the page.
PAINT = """
const paint = name => (performance.getEntriesByName(name)[0] || {}).startTime;
const wasm = performance.getEntriesByType('resource').find(e => e.name.endsWith('/quaddle.wasm'));
return paint('first-contentful-paint') && [paint('first-paint'), paint('first-contentful-paint'),
    wasm && wasm.responseEnd, quaddleStages.runtime, quaddleStages.window];
"""


def kib(size):
    return f"{size / 1024:7.1f} KiB"


def sizes(site):
    print("Size (as served, and gzip -9):")
    served = zipped = 0
    for name in CODE + PAGE_FILES:
        path = os.path.join(site, name)
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9, mtime=0))
        print(f"  {name:22} {kib(len(data))}  {kib(packed)}")
        if name in CODE:
            served += len(data)
            zipped += packed
        if name == CODE[-1]:
            print(f"  {'the page code, total':22} {kib(served)}  {kib(zipped)}")


def first_paints(page, origin, runs):
    """Milliseconds from navigation to first paint and first contentful paint."""
    def visit():
        page.goto("about:blank")
        page.goto(origin + "/")
        wait_for(page, "the About window", lambda p: button_enabled(p, OK) is not None)
        return wait_for(page, "the paint timing", lambda p: p.run(PAINT))

    first, again = [], []
    page.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": STAGES})
    for _ in range(runs):
        page.cdp("Storage.clearDataForOrigin", {"origin": origin, "storageTypes": "all"})
        page.cdp("Network.clearBrowserCache", {})
        first.append(visit())
        page.run("return navigator.serviceWorker.ready.then(() => true);")
        again.append(visit())
    for name, times in (("first visit", first), ("returning (worker's copy)", again)):
        median = [statistics.median(t[i] for t in times if t[i] is not None) for i in range(5)]
        print(f"  {name}: first contentful paint {median[1]:.0f} ms (first paint {median[0]:.0f} ms;"
              f" fastest {min(t[1] for t in times):.0f}, slowest {max(t[1] for t in times):.0f})\n"
              f"    on the way: .wasm received {median[2]:.0f} ms, runtime ready {median[3]:.0f} ms,"
              f" About window in the page {median[4]:.0f} ms")


def click_time(page, runs):
    wait_for(page, "OK's enabling", lambda p: button_enabled(p, OK), seconds=60)
    click_button(page, OK)
    wait_for(page, "the main window", lambda p: button_enabled(p, CALCULATE) is not None)
    times = page.run(CLICKS, runs, 100)
    if isinstance(times, str):
        sys.exit(f"bench/web: {times}")
    print(f"  one click on Calculate to its result on the page: median {statistics.median(times) * 1000:.0f} µs"
          f" (batches of 100, {runs} batches; fastest {min(times) * 1000:.0f} µs, slowest {max(times) * 1000:.0f} µs)")


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 21
    site = os.path.join(build, "site")
    sizes(site)
    trap = Trap()
    server = Server(site_policy(os.path.join(site, "index.html")), site=site)
    page = start("chromium", trap_port=trap.server_address[1])
    try:
        print(f"Headless Chromium {page.version}, {runs} runs, loopback:")
        first_paints(page, server.origin, runs)
        click_time(page, runs)
    finally:
        page.close()
        server.stop()
        trap.close()
    if trap.requests:
        sys.exit(f"bench/web: requests went past loopback: {trap.requests}")


if __name__ == "__main__":
    main()
