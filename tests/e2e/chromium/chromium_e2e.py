#!/usr/bin/env python3
"""A real Chromium, headless, in a network namespace of its own with a throw-away home. Closed:
the Chrome items clear its history, cookies, cache and tabs, `--preview` lists exactly what the
run then erases, the bookmarks keep every byte, and Chromium works afterwards. Running: history,
cookies and tabs stay with exit code 3 and the user told, the cache is swept, and the browser
goes on loading pages, then starts again on the same profile.

Usage: chromium_e2e.py LARKSPUR
"""
import hashlib
import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time
import urllib.request

LARKSPUR = sys.argv[1]
ITEMS = "chrome-history,chrome-cookies,chrome-cache,chrome-tabs"
if os.environ.get("LARKSPUR_E2E_NETNS") != "1":
    os.environ["LARKSPUR_E2E_NETNS"] = "1"
    os.execvp("unshare", ["unshare", "-n", sys.executable] + sys.argv)
subprocess.run(["ip", "link", "set", "lo", "up"], check=True)

SANDBOX = tempfile.mkdtemp(prefix="larkspur-chromium-e2e-")
HOME = SANDBOX + "/home"
ENV = dict(os.environ, HOME=HOME, XDG_CONFIG_HOME=HOME + "/.config",
           XDG_DATA_HOME=HOME + "/.local/share", XDG_CACHE_HOME=HOME + "/.cache",
           XDG_STATE_HOME=HOME + "/.local/state", WINEPREFIX=SANDBOX + "/wine")
ENV.pop("DISPLAY", None)
USER_DATA = HOME + "/.config/chromium"  # where the program looks, as Chromium itself would
PROFILE = USER_DATA + "/Default"
WWW = SANDBOX + "/www"
SITE = "http://127.0.0.1:8765/"
STARTED = []


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def chromium(*arguments, wait=True):
    command = ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
               "--user-data-dir=" + USER_DATA] + list(arguments)
    if wait:
        return subprocess.run(command, env=ENV, capture_output=True, text=True, timeout=120)
    STARTED.append(subprocess.Popen(command, env=ENV, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL))
    return STARTED[-1]


def dump_dom(url):
    result = chromium("--dump-dom", url)
    if result.returncode != 0 or "</html>" not in result.stdout:
        fail("Chromium did not load %s: %d %s" % (url, result.returncode, result.stderr[-500:]))
    return result.stdout


def larkspur(*arguments):
    return subprocess.run([LARKSPUR] + list(arguments), env=ENV, capture_output=True, text=True)


def query(database, sql):
    with sqlite3.connect("file:%s/%s?mode=ro&immutable=1" % (PROFILE, database), uri=True) as db:
        return db.execute(sql).fetchall()


def files_below(*folders):
    return sorted(os.path.join(root, name) for folder in folders
                  for root, _, names in os.walk(folder) for name in names)


def tree_digest():
    digest = {}
    for path in files_below(HOME):
        with open(path, "rb") as content:
            digest[path] = "link" if os.path.islink(path) else hashlib.sha256(
                content.read()).hexdigest()
    return digest


def listed(output):
    return sorted(re.sub(r" \(\d+ bytes\)$", "", line[3:]) for line in output.splitlines()
                  if line.startswith("-->/"))


def devtools(path, method="GET"):
    request = urllib.request.Request("http://127.0.0.1:9222" + path, method=method)
    with urllib.request.urlopen(request, timeout=10) as reply:
        return json.load(reply)


def wait_for_title(title):
    for _ in range(200):
        try:
            if any(page.get("title") == title for page in devtools("/json/list")):
                return
        except OSError:
            pass
        time.sleep(0.1)
    fail("the running Chromium loaded no page titled " + title)


def closed_browser():
    dump_dom(SITE + "index.html")  # sets the cookie, fills the cache
    dump_dom("file://%s/visited.html" % WWW)
    if not query("History", "SELECT url FROM urls WHERE url LIKE '%visited.html'"):
        fail("the visit was not recorded")
    if not query("Cookies", "SELECT name FROM cookies WHERE name = 'flavour'"):
        fail("the cookie was not stored")
    cache = files_below(HOME + "/.cache/chromium/Default/Cache")
    if not cache or not os.listdir(PROFILE + "/Sessions"):
        fail("no cache or no tabs to clear")
    with open(PROFILE + "/Bookmarks", "rb") as bookmarks:
        kept = bookmarks.read()

    before = tree_digest()
    preview = larkspur("--preview", ITEMS)
    if preview.returncode != 0 or tree_digest() != before:
        fail("the preview failed or changed files: %d %s" % (preview.returncode, preview.stderr))
    result = larkspur("--clean", ITEMS)
    if result.returncode != 0:
        fail("clean-up: %d %s %s" % (result.returncode, result.stdout, result.stderr))
    gone = sorted(set(before) - set(tree_digest()))
    if listed(preview.stdout) != listed(result.stdout) or listed(result.stdout) != gone:
        fail("preview, run and what went differ:\n%s\n---\n%s\n---\n%s"
             % (preview.stdout, result.stdout, gone))
    for name in ("History", "Cookies", "Visited Links", "Top Sites"):
        if os.path.exists(PROFILE + "/" + name):
            fail(name + " stayed")
    if files_below(HOME + "/.cache/chromium/Default/Cache", PROFILE + "/Sessions"):
        fail("cache or tabs stayed")
    for name in ("Bookmarks", "Preferences", "Login Data", "Web Data", "Favicons"):
        if PROFILE + "/" + name in gone:
            fail(name + " went")
    with open(PROFILE + "/Bookmarks", "rb") as bookmarks:
        if bookmarks.read() != kept:
            fail("the bookmarks changed")

    dump_dom("file://%s/after.html" % WWW)
    if query("History", "SELECT url FROM urls WHERE url NOT LIKE '%after.html'"):
        fail("old history came back")
    if query("Cookies", "SELECT name FROM cookies"):
        fail("a cookie came back")
    with open(PROFILE + "/Bookmarks") as bookmarks:
        if "https://kept.example/" not in bookmarks.read():
            fail("the bookmark is gone after the restart")


def running_browser():
    browser = chromium("--remote-debugging-port=9222", SITE + "index.html", wait=False)
    wait_for_title("lark")
    cache = HOME + "/.cache/chromium/Default/Cache"
    if not files_below(cache):
        fail("the running browser cached nothing")
    result = larkspur("--clean", ITEMS)
    told = "Chromium is running: close it to clear its history, cookies and open tabs."
    if result.returncode != 3 or told not in result.stderr or told not in result.stdout:
        fail("not told: %d %s %s" % (result.returncode, result.stdout, result.stderr))
    if not os.path.exists(PROFILE + "/History") or not os.path.exists(PROFILE + "/Cookies"):
        fail("history or cookies went while Chromium ran")
    if files_below(cache):
        fail("the cache was not swept")
    # The swept cache under it: the same page again, then a new one.
    devtools("/json/new?" + SITE + "index.html", "PUT")
    devtools("/json/new?" + SITE + "second.html", "PUT")
    wait_for_title("second")
    for _ in range(100):
        if any("Cache_Data" in path for path in files_below(cache)):
            break
        time.sleep(0.1)
    else:
        fail("the swept cache does not fill again")
    browser.terminate()
    browser.wait(timeout=60)
    dump_dom(SITE + "index.html")


def main():
    os.makedirs(PROFILE)
    os.makedirs(WWW)
    with open(PROFILE + "/Bookmarks", "w") as bookmarks:
        json.dump({"version": 1, "roots": {
            "bookmark_bar": {"type": "folder", "name": "Bookmarks bar", "id": "1", "children": [
                {"type": "url", "name": "Kept", "url": "https://kept.example/", "id": "4"}]},
            "other": {"type": "folder", "name": "Other", "id": "2", "children": []},
            "synced": {"type": "folder", "name": "Mobile", "id": "3", "children": []}}},
            bookmarks)
    pages = {"index.html": '<title>lark</title><script>document.cookie = "flavour=lark; '
                           'max-age=86400"</script><img src="logo.png">',
             "second.html": "<title>second</title><img src='logo.png'>",
             "visited.html": "<title>visited</title>", "after.html": "<title>after</title>"}
    for name, text in pages.items():
        with open(os.path.join(WWW, name), "w") as page:
            page.write("<html><head>%s</head><body>ok</body></html>" % text)
    with open(WWW + "/logo.png", "wb") as logo:
        logo.write(b"\x89PNG" + os.urandom(20000))
    STARTED.append(subprocess.Popen([sys.executable, "-m", "http.server", "8765", "--bind",
                                     "127.0.0.1"], cwd=WWW, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL))
    closed_browser()
    running_browser()
    print("1 passed, 0 failed")


try:
    main()
finally:
    for started in STARTED:
        if started.poll() is None:
            started.kill()
            started.wait()
    shutil.rmtree(SANDBOX, ignore_errors=True)
