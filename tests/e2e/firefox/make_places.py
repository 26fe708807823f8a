#!/usr/bin/env python3
"""Writes a small places.sqlite as Firefox lays it out: the roots, a folder, a separator,
bookmarks with quotes, a newline, a control character and non-ASCII text, two tags and a
keyword, and a visit that is history only. Usage: make_places.py PATH"""
import sqlite3
import sys

db = sqlite3.connect(sys.argv[1])
db.executescript("""
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
                         visit_count INTEGER DEFAULT 0, guid TEXT);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
                            parent INTEGER, position INTEGER, title LONGVARCHAR,
                            keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER,
                            lastModified INTEGER, guid TEXT);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,
                           place_id INTEGER, post_data TEXT);
""")
db.executemany("INSERT INTO moz_places (id, url, title, visit_count) VALUES (?, ?, ?, ?)", [
    (1, 'https://example.org/a?b="c"&d=\u00e9', "Example", 3),
    (2, "http://example.com/", None, 1),
    (3, "https://history-only.example/", "visited, never bookmarked", 7),
])
T = 1700000000000000
rows = [
    (1, 2, None, 0, 0, "", "root________"),
    (2, 2, None, 1, 0, "menu", "menu________"),
    (3, 2, None, 1, 1, "toolbar", "toolbar_____"),
    (4, 2, None, 1, 2, "tags", "tags________"),
    (5, 2, None, 1, 3, "unfiled", "unfiled_____"),
    (6, 2, None, 1, 4, "mobile", "mobile______"),
    (7, 1, 1, 3, 1, 'Say "hi"\nnext \u2013 \u00fcn\u00ef\u00e7\u00f8d\u00e9 \U0001f600\x01\\',
     "bookmark0001"),
    (8, 2, None, 3, 0, "Folder <&>", "folder000001"),
    (9, 1, 2, 8, 0, None, "bookmark0002"),
    (10, 3, None, 8, 1, "", "separator001"),
    (11, 2, None, 4, 0, "e2e-tag", "tagfolder001"),
    (12, 1, 1, 11, 0, None, "tagentry0001"),
    (13, 2, None, 4, 1, "alpha", "tagfolder002"),
    (14, 1, 1, 13, 0, None, "tagentry0002"),
]
db.executemany("INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, "
               "lastModified, guid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
               [r[:6] + (T + r[0], T + 10 * r[0], r[6]) for r in rows])
db.execute("INSERT INTO moz_keywords (keyword, place_id) VALUES ('kw', 1)")
db.commit()
db.close()
