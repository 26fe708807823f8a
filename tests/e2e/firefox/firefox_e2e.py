#!/usr/bin/env python3
"""A real Firefox ESR, headless, in a network namespace of its own with a throw-away home:
bookmarks, tags and keywords survive `larkspur --clean firefox-typed-urls`, history does not;
a bookmark whose folder is missing comes back in Other Bookmarks;
`--preview all` changes nothing and lists exactly the files a following `--clean all` deletes.

Usage: firefox_e2e.py LARKSPUR plain|same-day-running
  plain             a young profile (no backup of Firefox's own)
  same-day-running  Firefox wrote a backup earlier today, and Firefox runs during a first
                    clean-up, which must leave the profile alone and say so
"""
import datetime
import hashlib
import json
import os
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time

LARKSPUR, MODE = sys.argv[1], sys.argv[2]
PORT = 2828

if os.environ.get("LARKSPUR_E2E_NETNS") != "1":
    # Loopback only: Firefox reaches nothing outside, and Marionette's port is ours alone.
    os.environ["LARKSPUR_E2E_NETNS"] = "1"
    os.execvp("unshare", ["unshare", "-n", sys.executable] + sys.argv)
subprocess.run(["ip", "link", "set", "lo", "up"], check=True)

SANDBOX = tempfile.mkdtemp(prefix="larkspur-firefox-e2e-")
HOME = os.path.join(SANDBOX, "home")
ENV = dict(os.environ, HOME=HOME, XDG_CONFIG_HOME=HOME + "/.config",
           XDG_DATA_HOME=HOME + "/.local/share", XDG_CACHE_HOME=HOME + "/.cache",
           XDG_STATE_HOME=HOME + "/.local/state", WINEPREFIX=SANDBOX + "/wine",
           MOZ_CRASHREPORTER_DISABLE="1")
ENV.pop("DISPLAY", None)
FIREFOX_FOLDER = HOME + "/.config/mozilla/firefox"


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


class Marionette:
    """Length-prefixed JSON over TCP: "LEN:[0, id, command, params]"."""

    def __init__(self):
        deadline = time.time() + 60
        while True:
            try:
                self.sock = socket.create_connection(("127.0.0.1", PORT), timeout=60)
                break
            except OSError:
                if time.time() > deadline:
                    fail("Marionette did not start")
                time.sleep(0.2)
        self.next_id = 0
        self.receive()  # the greeting
        self.command("WebDriver:NewSession", {})
        self.command("Marionette:SetContext", {"value": "chrome"})

    def receive(self):
        length = b""
        while not length.endswith(b":"):
            length += self.sock.recv(1)
        size = int(length[:-1])
        data = b""
        while len(data) < size:
            data += self.sock.recv(size - len(data))
        return json.loads(data)

    def command(self, name, params):
        self.next_id += 1
        text = json.dumps([0, self.next_id, name, params]).encode()
        self.sock.sendall(str(len(text)).encode() + b":" + text)
        reply = self.receive()
        if reply[2] is not None:
            fail("%s: %s" % (name, reply[2]))
        return reply[3]

    def run(self, body):
        """Runs async chrome code with PlacesUtils in scope; its return value comes back."""
        script = ("const done = arguments[arguments.length - 1];"
                  "const {PlacesUtils} = ChromeUtils.importESModule("
                  "'resource://gre/modules/PlacesUtils.sys.mjs');"
                  "const {PlacesBackups} = ChromeUtils.importESModule("
                  "'resource://gre/modules/PlacesBackups.sys.mjs');"
                  "(async () => {" + body + "})().then(done, e => done('error: ' + e));")
        value = self.command("WebDriver:ExecuteAsyncScript",
                             {"script": script, "args": [], "scriptTimeout": 60000})["value"]
        if isinstance(value, str) and value.startswith("error: "):
            fail(value)
        return value

    def quit(self, firefox):
        try:
            self.command("Marionette:Quit", {})
        except OSError:
            pass
        firefox.wait(timeout=60)


STARTED = []


def start_firefox():
    firefox = subprocess.Popen(
        ["firefox-esr", "--headless", "--marionette", "--no-remote",
         "--remote-allow-system-access"], env=ENV, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL)
    STARTED.append(firefox)
    return firefox, Marionette()


def larkspur(*arguments):
    return subprocess.run([LARKSPUR] + list(arguments), env=ENV, capture_output=True, text=True)


def profile_folder():
    with open(FIREFOX_FOLDER + "/profiles.ini") as ini:
        for line in ini:
            if line.startswith("Path=") and "default-esr" in line:
                return os.path.join(FIREFOX_FOLDER, line.strip()[5:])
    fail("no default-esr profile in profiles.ini")


def tree_digest():
    """Every file below the sandbox's home, by path: its content's hash, or a link's target."""
    digest = {}
    for root, _, files in os.walk(HOME):
        for name in files:
            path = os.path.join(root, name)
            if os.path.islink(path):
                digest[path] = "link " + os.readlink(path)
            else:
                with open(path, "rb") as content:
                    digest[path] = hashlib.sha256(content.read()).hexdigest()
    return digest


def listed_files(output, with_sizes):
    """The "-->" lines naming files (sizes dropped), and the last line: the summary."""
    lines = output.splitlines()
    if with_sizes and lines[:1] != ["Preview: nothing is changed."]:
        fail("a preview that does not say so: %r" % lines[:1])
    files = [line[3:] for line in lines if line.startswith("-->/")]
    if with_sizes:
        files = [re.sub(r" \(\d+ bytes\)$", "", name) for name in files]
    summary = lines[-1] if lines else ""
    if with_sizes:
        summary = re.sub(r"^Would erase ", "Erased ", summary).replace(" would stay: ", " stayed: ")
    return files, summary


def preview_then_clean(items):
    before = tree_digest()
    preview = larkspur("--preview", items)
    changed = sorted(set(before.items()) ^ set(tree_digest().items()))
    if preview.returncode != 0 or changed:
        fail("the preview failed or changed files: %d %s %s" % (preview.returncode, changed,
                                                                 preview.stderr))
    result = larkspur("--clean", items)
    after = tree_digest()
    listed, preview_summary = listed_files(preview.stdout, True)
    erased, summary = listed_files(result.stdout, False)
    if listed != erased or preview_summary != summary:
        fail("preview and run differ:\n%s\n---\n%s" % (preview.stdout, result.stdout))
    # A backup of today moved to an earlier date is not gone.
    gone = sorted(path for path in before if path not in after and "/bookmarkbackups/" not in path)
    if gone != sorted(erased):
        fail("the run's list is not what went: listed %s, gone %s" % (sorted(erased), gone))
    if not summary.startswith("Erased %d item" % len(erased)):
        fail("the summary does not count the files: " + summary)
    return result


URL = "https://example.org/kept?a=1&b=\"2\""
TITLE = "Kept \"quoted\" – ünïcode\nsecond line"
LATER_URL = "https://example.org/added-after-the-backup"
VISITED = "https://visited.example/"

ADD = """
  const bm = PlacesUtils.bookmarks;
  await bm.insert({parentGuid: bm.toolbarGuid, url: %(url)s, title: %(title)s});
  PlacesUtils.tagging.tagURI(Services.io.newURI(%(url)s), ["e2e-tag"]);
  await PlacesUtils.keywords.insert({keyword: "e2ekw", url: %(url)s});
  await PlacesUtils.history.insert({url: %(visited)s, visits: [{date: new Date()}]});
  return "ok";
""" % {"url": json.dumps(URL), "title": json.dumps(TITLE), "visited": json.dumps(VISITED)}

SAME_DAY_BACKUP = """
  await PlacesBackups.create(undefined, true);
  await PlacesUtils.bookmarks.insert({parentGuid: PlacesUtils.bookmarks.menuGuid,
                                      url: %s, title: "after"});
  return (await PlacesBackups.getBackupFiles()).map(f => PathUtils.filename(f));
""" % json.dumps(LATER_URL)

# Firefox restores the backup shortly after it starts: wait for the bookmark to come back.
CHECK = """
  let found = null;
  for (let i = 0; i < 200 && !found; i++) {
    found = await PlacesUtils.bookmarks.fetch({url: %(url)s});
    if (!found) await new Promise(r => setTimeout(r, 100));
  }
  const later = await PlacesUtils.bookmarks.fetch({url: %(later)s});
  const keyword = await PlacesUtils.keywords.fetch({url: %(url)s});
  return {
    title: found && found.title,
    parent: found && found.parentGuid,
    later: !!later,
    tags: PlacesUtils.tagging.getTagsForURI(Services.io.newURI(%(url)s)),
    keyword: keyword && keyword.keyword,
    visited: await PlacesUtils.history.hasVisits(%(visited)s),
  };
""" % {"url": json.dumps(URL), "later": json.dumps(LATER_URL), "visited": json.dumps(VISITED)}


def main():
    firefox, marionette = start_firefox()
    marionette.run(ADD)
    profile = profile_folder()
    backups = profile + "/bookmarkbackups"
    today = datetime.date.today()

    if MODE == "same-day-running":
        firefox_backups = marionette.run(SAME_DAY_BACKUP)
        if not any(name.startswith("bookmarks-%s_" % today) for name in firefox_backups):
            fail("Firefox wrote no backup of today: %s" % firefox_backups)
        result = larkspur("--clean", "firefox-typed-urls")
        if result.returncode != 3 or "Close Firefox to clear its history." not in result.stderr:
            fail("a running Firefox was not reported: %d %r" % (result.returncode, result.stderr))
        if not os.path.exists(profile + "/places.sqlite"):
            fail("places.sqlite went while Firefox ran")
        marionette.quit(firefox)
        with sqlite3.connect("file:%s/places.sqlite?mode=ro" % profile, uri=True) as db:
            check = db.execute("PRAGMA integrity_check").fetchone()[0]
        if check != "ok":
            fail("integrity_check: " + check)
    else:
        marionette.quit(firefox)
        if os.path.isdir(backups) and os.listdir(backups):
            fail("a young profile already has backups: %s" % os.listdir(backups))
        # A bookmark whose folder is gone: Firefox's maintenance would move it to Other
        # Bookmarks, and so must the backup.
        with sqlite3.connect(profile + "/places.sqlite") as db:
            moved = db.execute("UPDATE moz_bookmarks SET parent = 999999 WHERE parent = (SELECT "
                               "id FROM moz_bookmarks WHERE guid = 'toolbar_____') AND type = 1")
            if moved.rowcount != 1:
                fail("the bookmark to orphan was not found")

    before = set(os.listdir(backups)) if os.path.isdir(backups) else set()
    result = preview_then_clean("all")
    if result.returncode != 0:
        fail("clean-up: %d %s %s" % (result.returncode, result.stdout, result.stderr))
    if os.path.exists(profile + "/places.sqlite"):
        fail("places.sqlite is still there")
    after = set(os.listdir(backups))
    ours = "bookmarks-%s.json" % today
    if ours not in after:
        fail("no backup %s: %s" % (ours, after))
    dated_today = [n for n in after if n.startswith("bookmarks-%s" % today)]
    if dated_today != [ours]:
        fail("more than one backup of today: %s" % dated_today)
    if len(after) != len(before) + 1:
        fail("an earlier backup was lost: %s -> %s" % (before, after))

    firefox, marionette = start_firefox()
    state = marionette.run(CHECK)
    marionette.quit(firefox)
    expected = {"title": TITLE, "parent": "unfiled_____" if MODE == "plain" else "toolbar_____",
                "later": MODE != "plain",
                "tags": ["e2e-tag"], "keyword": "e2ekw", "visited": False}
    if state != expected:
        fail("after the restart: %s, expected %s" % (state, expected))
    print("ok: " + MODE)


try:
    main()
finally:
    for started in STARTED:  # only after a failure is one still running
        if started.poll() is None:
            started.kill()
            started.wait()
    shutil.rmtree(SANDBOX, ignore_errors=True)
