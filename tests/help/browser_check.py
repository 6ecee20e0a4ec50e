#!/usr/bin/env python3
"""Opens every page of the plain-HTML manual in headless Chromium, as a wide
window (1280x800) and as a phone (390x844), and checks what a reader would
meet: every picture loaded, every local link and anchor exists, no text
wider than the window, no script or console error, a title. It saves a
screenshot of each page at both sizes.

    browser_check.py BUILD_DIR [SHOT_DIR]

BUILD_DIR/help holds the pages; SHOT_DIR defaults to build/test-logs/help.
The last line is "N passed, N failed".

Chromium is driven through its DevTools protocol over --remote-debugging-pipe
(NUL-separated JSON on file descriptors 3 and 4) rather than a WebSocket:
that needs only Python's standard library, no WebSocket framing and no TCP
port, so runs on a shared machine cannot meet each other's browser.
"""
import base64
import functools
import html.parser
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

SIZES = [("wide", 1280, 800, False), ("phone", 390, 844, True)]
# A guard against a browser that stops answering, not a measure of speed.
HANG_GUARD_S = 60

# What the page shows, measured in the page after its load event.
PROBE = r"""((w) => {
  const root = document.documentElement;
  const wide = [];
  if (root.scrollWidth > w || window.innerWidth > w) {
    for (const e of document.body.querySelectorAll('*')) {
      const r = e.getBoundingClientRect();
      if (r.right > w + 0.5 && wide.length < 5)
        wide.push(e.tagName.toLowerCase() + (e.className ? '.' + e.className : '') +
                  ' to x=' + Math.round(r.right) + ': ' + (e.getAttribute('src') || e.textContent || '').replace(/\s+/g, ' ').trim().slice(0, 40));
    }
  }
  return {
    title: document.title.trim(),
    innerWidth: w,
    scrollWidth: root.scrollWidth,
    images: Array.from(document.images).map(i => ({src: i.getAttribute('src'), ok: i.complete && i.naturalWidth > 0})),
    links: Array.from(document.querySelectorAll('a[href], link[href]')).map(a => ({href: a.getAttribute('href'), url: a.href})),
    wide: wide,
    viewportMeta: !!document.querySelector('meta[name="viewport"]'),
  };
})(%d)"""


class BrowserGone(Exception):
    pass


class Browser:
    """Chromium with the DevTools protocol on a pipe."""

    def __init__(self, exe, profile, log):
        to_browser = os.pipe()
        from_browser = os.pipe()

        def on_fds_3_and_4():
            # The protocol's fixed descriptors: the browser reads 3 and writes 4.
            os.dup2(to_browser[0], 3)
            os.dup2(from_browser[1], 4)

        args = [exe, "--headless", "--remote-debugging-pipe", "--no-first-run",
                "--no-default-browser-check", "--disable-gpu", "--disable-extensions",
                "--hide-scrollbars", "--mute-audio", "--user-data-dir=" + profile,
                "--allow-file-access-from-files", "about:blank"]
        if os.geteuid() == 0:
            args.insert(1, "--no-sandbox")  # Chromium refuses to run as root with its sandbox
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                     close_fds=False, preexec_fn=on_fds_3_and_4)
        os.close(to_browser[0])
        os.close(from_browser[1])
        self.out = to_browser[1]
        self.inp = from_browser[0]
        self.buf = b""
        self.last_id = 0
        self.events = []

    def close(self):
        try:
            self.call("Browser.close")
        except Exception:
            pass
        try:
            self.proc.wait(timeout=HANG_GUARD_S)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        os.close(self.out)
        os.close(self.inp)

    def _read(self):
        while b"\0" not in self.buf:
            ready, _, _ = select.select([self.inp], [], [], HANG_GUARD_S)
            if not ready:
                raise BrowserGone("no answer from the browser")
            data = os.read(self.inp, 1 << 16)
            if not data:
                raise BrowserGone("the browser closed the pipe")
            self.buf += data
        message, self.buf = self.buf.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None):
        self.last_id += 1
        message = {"id": self.last_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        data = json.dumps(message).encode() + b"\0"
        while data:
            data = data[os.write(self.out, data):]
        while True:
            reply = self._read()
            if reply.get("id") == self.last_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method, session):
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == method and event.get("sessionId") == session:
                    return self.events.pop(i)
            self.events.append(self._read())


class Ids(html.parser.HTMLParser):
    """The ids (and the names of <a name>) a page defines."""

    def __init__(self):
        super().__init__()
        self.ids = set()

    def handle_starttag(self, tag, attrs):
        for key, value in attrs:
            if key == "id" or (tag == "a" and key == "name"):
                self.ids.add(value)


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, name, problems):
        if problems:
            self.failed += 1
            print(f"FAIL {name}")
            for problem in problems:
                print(f"  {problem}")
        else:
            self.passed += 1
            print(f"ok   {name}")


@functools.lru_cache(maxsize=None)
def ids_of(path):
    parser = Ids()
    with open(path, encoding="utf-8", errors="replace") as f:
        parser.feed(f.read())
    return parser.ids


def link_problems(help_dir, links):
    """Local links whose file or anchor does not exist, or that leave the manual."""
    problems = []
    for link in links:
        url = urllib.parse.urlsplit(link["url"])
        if url.scheme != "file":
            continue
        path = os.path.realpath(urllib.parse.unquote(url.path))
        if os.path.commonpath([path, help_dir]) != help_dir:
            problems.append(f"{link['href']}: outside the manual")
        elif not os.path.isfile(path):
            problems.append(f"{link['href']}: no file {os.path.relpath(path, help_dir)}")
        elif url.fragment and urllib.parse.unquote(url.fragment) not in ids_of(path):
            problems.append(f"{link['href']}: no id {url.fragment} in {os.path.relpath(path, help_dir)}")
    return problems


def error_events(events, session):
    """Script exceptions and console errors (failed loads included) of a page."""
    found = []
    for event in events:
        if event.get("sessionId") != session:
            continue
        method, params = event.get("method"), event.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            found.append("exception: " + details.get("exception", {}).get("description", details.get("text", "")))
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            found.append("console: " + " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", [])))
        elif method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
            entry = params["entry"]
            found.append(f"log: {entry.get('text')} {entry.get('url', '')}".strip())
    return found


def check_size(browser, checks, help_dir, pages, shot_dir, size):
    label, width, height, mobile = size
    target = browser.call("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
    for domain in ("Page", "Runtime", "Log"):
        browser.call(domain + ".enable", session=session)
    browser.call("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile}, session)
    for page in pages:
        name = f"{page} at {width}x{height}"
        browser.events = [e for e in browser.events if e.get("sessionId") != session]
        url = "file://" + urllib.parse.quote(os.path.join(help_dir, page))
        result = browser.call("Page.navigate", {"url": url}, session)
        if result.get("errorText"):
            checks.check(f"{name}: loads", [result["errorText"]])
            continue
        browser.wait_event("Page.loadEventFired", session)
        shown = browser.call("Runtime.evaluate", {"expression": PROBE % width, "returnByValue": True}, session)
        if "exceptionDetails" in shown:
            checks.check(f"{name}: can be measured", [str(shown["exceptionDetails"])])
            continue
        shown = shown["result"]["value"]

        checks.check(f"{name}: has a title", [] if shown["title"] else ["empty <title>"])
        checks.check(f"{name}: every picture loaded",
                     [f"{i['src']}: not loaded" for i in shown["images"] if not i["ok"]])
        if label == "wide":
            checks.check(f"{name}: every local link and anchor exists", link_problems(help_dir, shown["links"]))
        fits = []
        if mobile and not shown["viewportMeta"]:
            fits.append("no <meta name=\"viewport\">: a phone lays it out 980 px wide")
        # A phone widens its layout to the widest content rather than scroll sideways.
        laid_out = max(shown["innerWidth"], shown["scrollWidth"])
        if laid_out > width:
            fits.append(f"content {laid_out} px wide in a {width} px window")
            fits += shown["wide"]
        checks.check(f"{name}: fits the window", fits)
        checks.check(f"{name}: no script or console error", error_events(browser.events, session))

        content = browser.call("Page.getLayoutMetrics", session=session)["cssContentSize"]
        shot = browser.call("Page.captureScreenshot", {
            "format": "png", "captureBeyondViewport": True,
            "clip": {"x": 0, "y": 0, "width": width, "height": min(max(content["height"], height), 12000), "scale": 1},
        }, session)
        with open(os.path.join(shot_dir, f"{page[:-5]}-{width}.png"), "wb") as f:
            f.write(base64.b64decode(shot["data"]))
    browser.call("Target.closeTarget", {"targetId": target})


def main():
    if len(sys.argv) not in (2, 3):
        print("usage: browser_check.py BUILD_DIR [SHOT_DIR]", file=sys.stderr)
        return 2
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.realpath(__file__))))
    help_dir = os.path.realpath(os.path.join(sys.argv[1], "help"))
    shot_dir = os.path.abspath(sys.argv[2] if len(sys.argv) == 3 else os.path.join(root, "build", "test-logs", "help"))
    checks = Checks()

    pages = sorted(p for p in os.listdir(help_dir) if p.endswith(".html")) if os.path.isdir(help_dir) else []
    checks.check("the manual has pages", [] if len(pages) > 1 else [f"no pages in {help_dir}"])
    exe = shutil.which("chromium")
    checks.check("chromium is installed", [] if exe else ["no chromium on PATH (scripts/lib.sh installs it)"])
    if not pages or not exe:
        print(f"{checks.passed} passed, {checks.failed} failed")
        return 1

    os.makedirs(shot_dir, exist_ok=True)
    for old in os.listdir(shot_dir):
        if old.endswith(".png"):
            os.remove(os.path.join(shot_dir, old))
    with tempfile.TemporaryDirectory(prefix="zor-browser-") as profile:
        with open(os.path.join(shot_dir, "chromium.log"), "wb") as log:
            browser = Browser(exe, profile, log)
            try:
                for size in SIZES:
                    check_size(browser, checks, help_dir, pages, shot_dir, size)
            except (BrowserGone, RuntimeError) as e:
                checks.check("the browser answers", [str(e)])
            finally:
                browser.close()
    print(f"screenshots: {shot_dir}")
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
