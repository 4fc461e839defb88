"""Pixel checks on a screenshot of the corvenna window, for window_e2e.sh.

Reads binary PPM (P6) files, which ImageMagick writes, so nothing beyond the
standard library is needed. Places are client-area pixels of the window.
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit(f"{path}: not an 8-bit P6 picture")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + width * height * 3]


class Picture:
    def __init__(self, path, origin=(0, 0)):
        self.width, self.height, self.pixels = read_ppm(path)
        self.ox, self.oy = origin

    def at(self, x, y):
        x += self.ox
        y += self.oy
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def gray(self, x, y):
        r, g, b = self.at(x, y)
        return (11 * r + 16 * g + 5 * b) // 32


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


# Places of the controls in the client area, as the window description gives them.
BANNER = (10, 7)
LIST = (8, 67, 784, 362)
LABEL = (193, 439, 416, 24)
FIRST_COLUMN = (LIST[0] + 2, LIST[0] + 2 + 100)


def text_lines(shot, x0, x1, y0, y1, limit=110):
    """Runs of rows between y0 and y1 that hold a dark pixel between x0 and x1."""
    lines = []
    inside = False
    for y in range(y0, y1):
        dark = any(shot.gray(x, y) < limit for x in range(x0, x1))
        if dark and not inside:
            lines.append([y, y])
        if dark:
            lines[-1][1] = y
        inside = dark
    return lines


def check_window(shot, banner):
    face = shot.at(100, 450)
    check(face == shot.at(3, 3) == shot.at(470, 60) and 200 <= face[0] <= 250
          and face[0] == face[1] == face[2],
          f"button-face background {face} is one light grey")
    for x, y in [(0, 0), (40, 20), (200, 30), (451, 55)]:
        check(near(shot.at(BANNER[0] + x, BANNER[1] + y), banner.at(x, y), 2),
              f"banner pixel {x},{y} {shot.at(BANNER[0] + x, BANNER[1] + y)} is the picture's {banner.at(x, y)}")
    check(shot.at(BANNER[0] + 453, BANNER[1] + 30) == face, "button-face strip right of the banner")

    header = shot.at(LIST[0] + 60, LIST[1] + 6)
    check(header != (255, 255, 255) and min(header) > 150, f"header at 60,6 of the list is {header}")
    body = shot.at(LIST[0] + 2 + 745, LIST[1] + 300)
    check(body == (255, 255, 255), f"list background right of the columns is white, {body}")

    label_dark = min(shot.gray(x, y) for x in range(LABEL[0], LABEL[0] + LABEL[2])
                     for y in range(LABEL[1], LABEL[1] + LABEL[3]))
    check(label_dark < 100, f"label text is dark ({label_dark}) on the button face")

    link2 = [shot.at(x, y) for x in range(496, 745) for y in range(34, 58)]
    check((255, 0, 0) in link2, "超级链接框2 text is red")
    link1 = [shot.at(x, y) for x in range(464, 802) for y in range(13, 29)]
    check((0, 0, 255) in link1, "超级链接框1 text is blue")


def check_filled(shot, lister_rows):
    """The list shows the snapshot: every visible line of the first column
    holds text, and a vertical scroll bar, since there are more rows than fit."""
    x0, x1 = FIRST_COLUMN[0] + 2, FIRST_COLUMN[1] - 4
    y0, y1 = LIST[1] + 2, LIST[1] + LIST[3] - 2
    lines = text_lines(shot, x0, x1, y0, y1)
    print(f"     text lines in the first column: {len(lines)}")
    rows = lines[1:]  # the first is the column title
    check(len(rows) >= 10, f"the first column shows {len(rows)} rows")
    if len(rows) >= 2:
        pitch = (rows[-1][0] - rows[0][0]) / (len(rows) - 1)
        gaps = [b[0] - a[0] for a, b in zip(rows, rows[1:])]
        check(all(abs(g - pitch) <= 1 for g in gaps), f"rows follow each other at {pitch:.1f} px")
        check(y1 - rows[-1][1] <= 2 * pitch, "rows fill the list down to its bottom")
        if lister_rows is not None:
            check(lister_rows > len(rows), f"the lister's {lister_rows} rows outnumber the visible ones")
    bar_x = LIST[0] + LIST[2] - 2 - 6
    bar = [shot.at(bar_x, y) for y in range(LIST[1] + 30, LIST[1] + LIST[3] - 30)]
    check(any(p != (255, 255, 255) for p in bar), "a vertical scroll bar is shown")


def check_selection_at_end(shot):
    """After End the last row is selected: its first cell alone is highlighted."""
    highlighted = [(x, y) for y in range(LIST[1] + 2, LIST[1] + LIST[3] - 2)
                   for x in range(LIST[0] + 2, LIST[0] + LIST[2] - 20)
                   if (lambda p: p[2] > 150 and p[2] - p[0] > 80)(shot.at(x, y))]
    check(len(highlighted) > 100, f"{len(highlighted)} highlighted pixels")
    if highlighted:
        xs = [x for x, _ in highlighted]
        ys = [y for _, y in highlighted]
        check(min(xs) >= FIRST_COLUMN[0] and max(xs) <= FIRST_COLUMN[1] + 1,
              f"highlight spans x {min(xs)}..{max(xs)}, inside the first column")
        check(LIST[1] + LIST[3] - 2 - max(ys) <= 30, f"highlighted row is the bottom one (y {max(ys)})")


def main():
    mode = sys.argv[1]
    shot = Picture(sys.argv[2], (int(sys.argv[3]), int(sys.argv[4])))
    if mode == "window":
        check_window(shot, Picture(sys.argv[5]))
        lister_rows = int(sys.argv[6]) if len(sys.argv) > 6 and sys.argv[6] else None
        check_filled(shot, lister_rows)
    elif mode == "banner":
        # Exit status only: is the window painted yet?
        sys.exit(0 if near(shot.at(BANNER[0] + 40, BANNER[1] + 20), Picture(sys.argv[5]).at(40, 20), 2) else 1)
    elif mode == "end":
        check_selection_at_end(shot)
    sys.exit(1 if failures else 0)


main()
