#!/usr/bin/env python3
"""A real Chromium, headless, in a network namespace of its own with a throw-away home (usage:
chromium_e2e.py LARKSPUR). Closed: the Chrome items clear history, cookies, cache and tabs just
as `--preview` lists them, the bookmarks keep every byte, Chromium works afterwards. Running:
history, cookies and tabs stay (exit 3, the user told), the cache is swept and the browser goes
on loading and caching. Killed, its lock left behind: it no longer counts as running."""
import hashlib, json, os, re, shutil, sqlite3, subprocess, sys, tempfile, time, urllib.request

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
USER_DATA = HOME + "/.config/chromium"  # where the program looks, as Chromium itself would
PROFILE, CACHE = USER_DATA + "/Default", HOME + "/.cache/chromium/Default/Cache"
WWW, SITE = SANDBOX + "/www", "http://127.0.0.1:8765/"
CHROMIUM = ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
            "--user-data-dir=" + USER_DATA]
STARTED = []


def fail(message):
    sys.exit("FAIL: " + message)


def start(*command, cwd=None):
    STARTED.append(subprocess.Popen(command, env=ENV, cwd=cwd, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL))
    return STARTED[-1]


def run(*command):
    return subprocess.run(command, env=ENV, capture_output=True, text=True, timeout=120)


def dump_dom(url):
    result = run(*CHROMIUM, "--dump-dom", url)
    if result.returncode != 0 or "</html>" not in result.stdout:
        fail("Chromium did not load %s: %s" % (url, result.stderr[-500:]))


def query(database, sql):  # read-only: the browser's database is never written
    uri = "file:%s/%s?mode=ro&immutable=1" % (PROFILE, database)
    return sqlite3.connect(uri, uri=True).execute(sql).fetchall()


def files_below(folder):
    return sorted(os.path.join(root, name) for root, _, names in os.walk(folder) for name in names)


def digest():  # every file below the home by its content; links (the browser's lock) aside
    return {path: hashlib.sha256(open(path, "rb").read()).hexdigest()
            for path in files_below(HOME) if not os.path.islink(path)}


def listed(output):
    return sorted(re.sub(r" \(\d+ bytes\)$", "", line[3:]) for line in output.splitlines()
                  if line.startswith("-->/"))


def devtools(path):
    request = urllib.request.Request("http://127.0.0.1:9222" + path, method="PUT")
    with urllib.request.urlopen(request, timeout=10) as reply:
        return json.load(reply)


def shows(title):
    return any(page.get("title") == title for page in devtools("/json/list"))


def wait_for(condition, what):
    for _ in range(300):
        try:
            if condition():
                return
        except OSError:
            pass
        time.sleep(0.1)
    fail(what)


def main():
    os.makedirs(PROFILE)
    os.makedirs(WWW)
    with open(PROFILE + "/Bookmarks", "w") as bookmarks:
        bookmarks.write('{"version": 1, "roots": {"bookmark_bar": {"type": "folder", "id": "1", '
                        '"children": [{"type": "url", "url": "https://kept.example/"}]}}}')
    for name, head in {"index": '<title>lark</title><script>document.cookie = "flavour=lark; '
                                'max-age=86400"</script><img src="logo.png">',
                       "second": "<title>second</title><img src='logo.png'>",
                       "visited": "<title>visited</title>", "after": ""}.items():
        with open("%s/%s.html" % (WWW, name), "w") as page:
            page.write("<html><head>%s</head><body>ok</body></html>" % head)
    with open(WWW + "/logo.png", "wb") as logo:
        logo.write(os.urandom(20000))
    start(sys.executable, "-m", "http.server", "8765", "--bind", "127.0.0.1", cwd=WWW)

    dump_dom(SITE + "index.html")  # sets the cookie, fills the cache
    dump_dom("file://%s/visited.html" % WWW)
    if not (query("History", "SELECT url FROM urls WHERE url LIKE '%visited.html'") and
            query("Cookies", "SELECT name FROM cookies WHERE name = 'flavour'") and
            files_below(CACHE) and os.listdir(PROFILE + "/Sessions")):
        fail("Chromium left no history, cookie, cache or tabs to clear")
    kept = open(PROFILE + "/Bookmarks", "rb").read()
    before = digest()
    preview = run(LARKSPUR, "--preview", ITEMS)
    if preview.returncode != 0 or digest() != before:
        fail("the preview failed or changed files: " + preview.stderr)
    result = run(LARKSPUR, "--clean", ITEMS)
    gone = sorted(set(before) - set(digest()))
    if result.returncode != 0 or not listed(preview.stdout) == listed(result.stdout) == gone:
        fail("preview, run and what went differ:\n%s---\n%s---\n%s"
             % (preview.stdout, result.stdout, gone))
    if any(os.path.exists(PROFILE + "/" + name) for name in ("History", "Cookies", "Top Sites")) \
            or files_below(CACHE) or os.listdir(PROFILE + "/Sessions"):
        fail("history, cookies, cache or tabs stayed")
    if open(PROFILE + "/Bookmarks", "rb").read() != kept:
        fail("the bookmarks changed")
    dump_dom("file://%s/after.html" % WWW)
    if query("History", "SELECT url FROM urls WHERE url NOT LIKE '%after.html'") or \
            query("Cookies", "SELECT name FROM cookies"):
        fail("old history or a cookie came back")

    browser = start(*CHROMIUM, "--remote-debugging-port=9222", SITE + "index.html")
    wait_for(lambda: shows("lark") and files_below(CACHE), "the running Chromium cached nothing")
    result = run(LARKSPUR, "--clean", ITEMS)
    told = "Close Chromium to clear its history, cookies and open tabs."
    if result.returncode != 3 or told not in result.stderr or "stayed (browser running)" not in result.stdout:
        fail("not told: %d %s %s" % (result.returncode, result.stdout, result.stderr))
    if not os.path.exists(PROFILE + "/History") or not os.path.exists(PROFILE + "/Cookies") \
            or files_below(CACHE):
        fail("history or cookies went, or the cache stayed, while Chromium ran")
    for page in ("index.html", "second.html"):  # the swept cache under it
        devtools("/json/new?" + SITE + page)
    wait_for(lambda: shows("second") and any("Cache_Data" in f for f in files_below(CACHE)),
             "after the sweep the running Chromium loaded or cached nothing")

    browser.kill()  # as a crash: the lock stays, naming a process that is gone
    browser.wait()
    result = run(LARKSPUR, "--clean", "chrome-history")
    if not os.path.islink(USER_DATA + "/SingletonLock") or result.returncode != 0 or \
            os.path.exists(PROFILE + "/History"):
        fail("a stale lock kept the history: %s" % result.stderr)
    dump_dom(SITE + "index.html")
    print("1 passed, 0 failed")


try:
    main()
finally:
    for started in STARTED:
        if started.poll() is None:
            started.kill()
            started.wait()
    shutil.rmtree(SANDBOX, ignore_errors=True)
