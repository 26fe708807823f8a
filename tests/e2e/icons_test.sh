#!/usr/bin/env bash
# The committed pictures in data/icons/ are sound and match their drawings in data/icons/src/.
# Needs only python3. With rsvg-convert (librsvg2-bin) present it also re-renders every drawing
# and compares, which catches a drawing changed without running scripts/make-icons.sh.
# Usage: icons_test.sh [DATA_DIR]   (default: the repository's data/)
set -euo pipefail
data=${1:-"$(dirname "$0")/../../data"}

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$data/larkspur.desktop" || { echo "FAIL: larkspur.desktop" >&2; exit 1; }
fi

exec python3 - "$data" <<'EOF'
import os, re, shutil, struct, subprocess, sys, tempfile, zlib

data = sys.argv[1]
icons = os.path.join(data, "icons")
failures = []
checks = 0

def check(ok, what):
    global checks
    checks += 1
    if not ok:
        failures.append(what)
    return ok

def png_pixels(path):
    """(width, height, rows of (r, g, b, a)) of an 8-bit, non-interlaced PNG."""
    blob = open(path, "rb").read()
    if blob[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, palette, trns = 8, b"", b"", b""
    while at < len(blob):
        size, kind = struct.unpack(">I4s", blob[at:at + 8])
        body = blob[at + 8:at + 8 + size]
        if zlib.crc32(kind + body) != struct.unpack(">I", blob[at + 8 + size:at + 12 + size])[0]:
            raise ValueError(f"bad CRC in {kind!r}")
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        at += size + 12
    channels = {2: 3, 3: 1, 6: 4}.get(colour)
    if depth != 8 or interlace or channels is None:
        raise ValueError(f"unexpected PNG form: depth {depth}, colour type {colour}")
    raw, stride, prior, rows = zlib.decompress(idat), width * channels, bytearray(width * channels), []
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - channels] if i >= channels else 0
            b, c = prior[i], prior[i - channels] if i >= channels else 0
            p = a + b - c
            guess = [0, a, b, (a + b) // 2,
                     a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c][kind]
            row[i] = (row[i] + guess) & 255
        if colour == 3:
            rows.append([tuple(palette[3 * i:3 * i + 3]) + (trns[i] if i < len(trns) else 255,) for i in row])
        elif colour == 2:
            rows.append([tuple(row[i:i + 3]) + (255,) for i in range(0, stride, 3)])
        else:
            rows.append([tuple(row[i:i + 4]) for i in range(0, stride, 4)])
        prior = row
    return width, height, rows

def ico_frames(path):
    """{size: rows of (r, g, b, a)} of an ICO's 32-bit BMP frames (PNG frames: None)."""
    blob = open(path, "rb").read()
    reserved, kind, count = struct.unpack("<HHH", blob[:6])
    if (reserved, kind) != (0, 1):
        raise ValueError("not an icon file")
    frames = {}
    for n in range(count):
        w, h, _, _, _, bpp, size, offset = struct.unpack("<BBBBHHII", blob[6 + 16 * n:22 + 16 * n])
        w, frame = w or 256, blob[offset:offset + size]
        if frame[:4] == b"\x89PNG":
            frames[w] = None
            continue
        bw, bh, _, bits = struct.unpack("<iiHH", frame[4:16])
        if (bw, bh, bits) != (w, 2 * w, 32):  # BMP height counts the AND mask too
            raise ValueError(f"{w} px frame is {bw}x{bh}, {bits} bits")
        pixels = frame[40:40 + 4 * w * w]
        rows = [[(pixels[i + 2], pixels[i + 1], pixels[i], pixels[i + 3])
                 for i in range(4 * w * y, 4 * w * (y + 1), 4)] for y in range(w)]
        frames[w] = rows[::-1]  # stored bottom-up
    return frames

def looks_drawn(rows, name, transparent):
    """Not blank; with a see-through background where the picture is a window or tray icon."""
    flat = [p for row in rows for p in row]
    colours = {p[:3] for p in flat if p[3] > 0}
    check(len(colours) > 6, f"{name}: only {len(colours)} colours: blank or flattened")
    if transparent:
        edge = rows[0] + rows[-1] + [row[0] for row in rows] + [row[-1] for row in rows]
        clear = sum(p[3] == 0 for p in flat)
        check(sum(p[3] == 0 for p in edge) * 2 >= len(edge) and clear * 4 >= len(flat),
              f"{name}: background is not transparent")

# name, size, transparent background
pngs = [("larkspur.png", 32, True), ("larkspur-48.png", 48, True), ("larkspur-256.png", 256, True),
        ("tray.png", 32, True), ("auto-delete.png", 32, False), ("delete-now.png", 32, False),
        ("save-log.png", 32, False)]
decoded = {}
for name, size, transparent in pngs:
    path = os.path.join(icons, name)
    if not check(os.path.isfile(path), f"{name} is missing"):
        continue
    try:
        w, h, rows = png_pixels(path)
    except Exception as e:
        check(False, f"{name}: {e}")
        continue
    if check((w, h) == (size, size), f"{name} is {w}x{h}, not {size}x{size}"):
        decoded[name] = rows
        looks_drawn(rows, name, transparent)

for name in ("larkspur", "tray"):
    path = os.path.join(icons, name + ".ico")
    if not check(os.path.isfile(path), f"{name}.ico is missing"):
        continue
    try:
        frames = ico_frames(path)
    except Exception as e:
        check(False, f"{name}.ico: {e}")
        continue
    check(sorted(frames) == [16, 32, 48], f"{name}.ico has frames {sorted(frames)}, not 16, 32, 48")
    for size, rows in frames.items():
        if rows is not None:
            looks_drawn(rows, f"{name}.ico {size} px", True)
    # Both come from the same drawing at 32 px: a difference means one of them is stale.
    if frames.get(32) and name + ".png" in decoded:
        check(frames[32] == decoded[name + ".png"], f"{name}.ico and {name}.png differ at 32 px")

# Every drawing has its rendering, and the resource file names only files that exist.
for svg in sorted(os.listdir(os.path.join(icons, "src"))):
    target = re.sub(r"-16\.svg$", ".ico", svg).replace(".svg", ".png")
    check(os.path.isfile(os.path.join(icons, target)), f"src/{svg} has no {target}")
listed = re.findall(r"<file>([^<]+)</file>", open(os.path.join(icons, "icons.qrc")).read())
check(set(n for n, _, _ in pngs) <= set(listed), f"icons.qrc lists {listed}")
for name in listed:
    check(os.path.isfile(os.path.join(icons, name)), f"icons.qrc lists {name}, which is missing")

desktop = open(os.path.join(data, "larkspur.desktop")).read()
check(re.search(r"^Icon=larkspur$", desktop, re.M) is not None, "larkspur.desktop: Icon is not larkspur")

# Re-render the drawings and compare. Another librsvg may smooth edges a little differently,
# so only clearly different pixels count.
rsvg = shutil.which("rsvg-convert")
if rsvg:
    with tempfile.TemporaryDirectory() as tmp:
        for name, size, _ in pngs:
            if name not in decoded:
                continue
            out = os.path.join(tmp, name)
            svg = os.path.join(icons, "src", re.sub(r"(-\d+)?\.png$", ".svg", name))
            subprocess.run([rsvg, "-w", str(size), "-h", str(size), svg, "-o", out], check=True)
            fresh = png_pixels(out)[2]
            off = sum(max(abs(a - b) for a, b in zip(p, q)) > 48
                      for r1, r2 in zip(fresh, decoded[name]) for p, q in zip(r1, r2))
            check(off * 50 <= size * size, f"{name} is not what src/ draws ({off} pixels differ); "
                                            "run scripts/make-icons.sh")
else:
    print("rsvg-convert not found: the renderings were not compared with their drawings")

for f in failures:
    print("FAIL:", f, file=sys.stderr)
print(f"{checks - len(failures)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)
EOF
