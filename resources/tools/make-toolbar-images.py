#!/usr/bin/env python3
# Draws the program's own toolbar images (17 x 15 each) as XPM strips:
# resources/schema-toolbar.xpm (refresh, copy name, copy text), resources/builder-toolbar.xpm
# (restart, append, insert, replace), resources/script-toolbar.xpm (the Script page's buttons in
# order) and resources/results-toolbar.xpm (the Results page's buttons in order). The Script and
# Results pages use them where the desktop's icon theme lacks its own.
import math
import os

W, H = 17, 15
PALETTE = {'.': 'None', 'k': '#202020', 'w': '#FFFFFF', 'b': '#2F5FB0', 'l': '#A8C8F0',
           'y': '#E8C040', 'Y': '#B08A10', 'g': '#2E9A40', 'G': '#7CCB82', 'r': '#C83030',
           'o': '#F08020', 's': '#909090', 'S': '#D0D0D0', 'n': '#8B5A2B', 'N': '#D8B070'}


def blank():
    return [['.'] * W for _ in range(H)]


def px(img, x, y, c):
    if 0 <= x < W and 0 <= y < H:
        img[y][x] = c


def rect(img, x0, y0, x1, y1, c, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if x in (x0, x1) or y in (y0, y1):
                px(img, x, y, c)
            elif fill:
                px(img, x, y, fill)


def line(img, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for t in range(n + 1):
        px(img, round(x0 + (x1 - x0) * t / n), round(y0 + (y1 - y0) * t / n), c)


def page(img, x0, y0, x1, y1, rows=True, edge='k', ink='s'):
    # A sheet with a folded corner and, optionally, lines of text.
    rect(img, x0, y0, x1, y1, edge, 'w')
    px(img, x1, y0, '.')
    px(img, x1 - 1, y0, edge)
    px(img, x1, y0 + 1, edge)
    px(img, x1 - 1, y0 + 1, edge)
    if rows:
        for y in range(y0 + 3, y1 - 1, 2):
            line(img, x0 + 2, y, x1 - 2, y, ink)


def arrow_left(img, x0, x1, y, c):
    # From x1 leftwards to the tip at x0.
    line(img, x0, y, x1, y, c)
    line(img, x0 + 1, y - 1, x1, y - 1, c)
    for i in range(1, 4):
        line(img, x0 + i, y - 1 - i, x0 + i, y + i, c)


def arrow_down(img, x, y0, y1, c):
    line(img, x, y0, x, y1, c)
    line(img, x + 1, y0, x + 1, y1 - 1, c)
    for i in range(1, 4):
        line(img, x - i, y1 - i, x + 1 + i, y1 - i, c)


def circling_arrow(img, cx, cy, r, c):
    # A ring open at the top right, its upper end an arrowhead turning clockwise.
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            angle = math.degrees(math.atan2(y - cy, x - cx))
            if (r - 2) ** 2 < d <= r * r + r and not -80 < angle < -5:
                px(img, x, y, c)
    for i in range(4):
        line(img, cx + i, cy - r - 2 + i, cx + i, cy - r + 3 - i, c)


# Schema page: refresh, copy name, copy text.
schema = [blank() for _ in range(3)]
circling_arrow(schema[0], 8, 8, 6, 'g')

page(schema[1], 0, 0, 9, 11, rows=False, edge='s')
rect(schema[1], 4, 5, 16, 12, 'Y', 'y')  # a name tag over the copied sheet
px(schema[1], 6, 8, 'k'); px(schema[1], 6, 9, 'k')
line(schema[1], 8, 8, 14, 8, 'b')
line(schema[1], 8, 9, 14, 9, 'b')

page(schema[2], 0, 0, 9, 11, edge='s', ink='S')
page(schema[2], 5, 3, 16, 14, ink='b')

# Builder page: restart, append, insert, replace.
builder = [blank() for _ in range(4)]
page(builder[0], 0, 0, 10, 14, ink='S')
circling_arrow(builder[0], 11, 9, 5, 'o')

page(builder[1], 0, 0, 12, 14)
rect(builder[1], 2, 11, 10, 12, 'g', 'g')  # the new text at the end
arrow_down(builder[1], 13, 0, 9, 'g')

page(builder[2], 0, 0, 12, 14)
line(builder[2], 5, 5, 5, 11, 'r')  # the caret inside the text
line(builder[2], 4, 4, 6, 4, 'r')
line(builder[2], 4, 12, 6, 12, 'r')
arrow_left(builder[2], 8, 16, 8, 'g')

page(builder[3], 0, 0, 8, 10, edge='s', ink='S')
line(builder[3], 1, 1, 7, 9, 'r')
line(builder[3], 7, 1, 1, 9, 'r')
page(builder[3], 7, 4, 16, 14, ink='b')


FONT = {  # 3 x 5 capitals for the labels of the export images
    'A': ['.#.', '#.#', '###', '#.#', '#.#'], 'H': ['#.#', '#.#', '###', '#.#', '#.#'],
    'L': ['#..', '#..', '#..', '#..', '###'], 'M': ['#.#', '###', '###', '#.#', '#.#'],
    'Q': ['.#.', '#.#', '#.#', '#.#', '.##'], 'S': ['###', '#..', '###', '..#', '###'],
    'T': ['###', '.#.', '.#.', '.#.', '.#.'], 'X': ['#.#', '#.#', '.#.', '#.#', '#.#'],
    'Z': ['###', '..#', '.#.', '#..', '###'],
}


def text(img, x, y, word, c):
    for letter in word:
        for dy, row in enumerate(FONT[letter]):
            for dx, bit in enumerate(row):
                if bit == '#':
                    px(img, x + dx, y + dy, c)
        x += 4


def fill(img, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        line(img, x0, y, x1, y, c)


def arrow_up(img, x, y0, y1, c):
    line(img, x, y0, x, y1, c)
    line(img, x + 1, y0 + 1, x + 1, y1, c)
    for i in range(1, 4):
        line(img, x - i, y0 + i, x + 1 + i, y0 + i, c)


def curved_arrow(img, leftwards, c):
    # A half ring over the middle, its lower end an arrowhead pointing back.
    cx, cy, r = 8, 9, 5
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if (r - 1.5) ** 2 <= d <= (r + 0.5) ** 2 and y <= cy:
                px(img, x if leftwards else W - 1 - x, y, c)
    tip = cx - r
    for i in range(4):
        xs = (tip - 3 + i, tip + 3 - i)
        a, b = (xs if leftwards else (W - 1 - xs[1], W - 1 - xs[0]))
        line(img, a, cy + i, b, cy + i, c)


# Script page: new, open, save, search and replace, cut, copy, paste, select all, undo, redo,
# print, macro definitions.
script = [blank() for _ in range(12)]
page(script[0], 2, 1, 13, 14, rows=False)
for x, y in ((12, 0), (13, 1), (14, 2), (15, 1), (16, 0), (14, 0), (14, 1), (13, 2), (15, 2), (14, 3), (14, 4),
             (12, 2), (16, 2)):
    px(script[0], x, y, 'y')

rect(script[1], 0, 3, 7, 5, 'Y', 'y')
rect(script[1], 0, 5, 14, 14, 'Y', 'y')
for y in range(8, 14):
    line(script[1], 3 + (13 - y) // 2, y, 16 - (13 - y) // 2, y, 'Y')
fill(script[1], 4, 8, 15, 13, 'N')
line(script[1], 3, 8, 16, 8, 'Y')
line(script[1], 2, 13, 15, 13, 'Y')

rect(script[2], 1, 0, 15, 14, 'k', 'b')
rect(script[2], 4, 0, 12, 5, 'k', 'w')
rect(script[2], 4, 9, 12, 14, 'k', 'S')
fill(script[2], 9, 10, 10, 13, 'b')

page(script[3], 0, 0, 11, 13)
for y in range(4, 11):
    for x in range(7, 14):
        if (x - 10) ** 2 + (y - 7) ** 2 <= 10:
            px(script[3], x, y, 'k' if (x - 10) ** 2 + (y - 7) ** 2 >= 5 else 'l')
line(script[3], 12, 10, 16, 14, 'k')
line(script[3], 13, 10, 16, 13, 'k')

for (cx, cy) in ((4, 11), (12, 11)):
    for y in range(H):
        for x in range(W):
            if 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= 6:
                px(script[4], x, y, 'r')
line(script[4], 5, 9, 11, 0, 's')
line(script[4], 6, 9, 12, 0, 'k')
line(script[4], 11, 9, 5, 0, 's')
line(script[4], 10, 9, 4, 0, 'k')

page(script[5], 0, 0, 9, 10, edge='s', ink='S')
page(script[5], 6, 4, 16, 14, ink='b')

rect(script[6], 1, 2, 13, 14, 'n', 'N')
rect(script[6], 4, 0, 10, 3, 'k', 's')
page(script[6], 7, 5, 16, 14, ink='b')

page(script[7], 1, 0, 15, 14, rows=False)
for y in (3, 5, 7, 9, 11):
    line(script[7], 3, y, 13, y, 'b')
    line(script[7], 3, y + 1, 13, y + 1, 'l')

curved_arrow(script[8], True, 'b')
curved_arrow(script[9], False, 'b')

rect(script[10], 4, 0, 12, 6, 'k', 'w')
rect(script[10], 0, 5, 16, 11, 'k', 'S')
rect(script[10], 3, 9, 13, 14, 'k', 'w')
px(script[10], 14, 7, 'g')
line(script[10], 5, 11, 11, 11, 's')
line(script[10], 5, 13, 11, 13, 's')

page(script[11], 0, 0, 12, 14)
for (x0, y0, x1, y1) in ((12, 0, 8, 7), (8, 7, 13, 7), (13, 7, 9, 14)):
    line(script[11], x0, y0, x1, y1, 'o')
    line(script[11], x0 + 1, y0, x1 + 1, y1, 'y')

# Results page: copy, select all, export as text, SQL, XML, HTML, spreadsheet, sort ascending,
# sort descending, print.
results = [blank() for _ in range(10)]
results[0] = [row[:] for row in script[5]]
results[1] = [row[:] for row in script[7]]
for img, word, band in ((results[2], 'TXT', 's'), (results[3], 'SQL', 'b'), (results[4], 'XML', 'o'),
                        (results[5], 'HTM', 'r')):
    page(img, 1, 0, 15, 14, rows=False)
    for y in (2, 4):
        line(img, 3, y, 12, y, 's')
    fill(img, 1, 6, 15, 12, band)
    text(img, 3, 7, word, 'w')
rect(results[6], 0, 1, 16, 14, 'g', 'w')
for x in (5, 11):
    line(results[6], x, 1, x, 14, 'g')
for y in (5, 9):
    line(results[6], 0, y, 16, y, 'g')
fill(results[6], 1, 2, 15, 4, 'G')
text(results[7], 1, 0, 'A', 'b')
text(results[7], 1, 9, 'Z', 'b')
arrow_down(results[7], 11, 1, 13, 'k')
text(results[8], 1, 0, 'Z', 'b')
text(results[8], 1, 9, 'A', 'b')
arrow_up(results[8], 11, 1, 13, 'k')
results[9] = [row[:] for row in script[10]]


def write(name, images):
    rows = [''.join(''.join(img[y]) for img in images) for y in range(H)]
    out = ['/* XPM */', 'static const char* %s[] = {' % name.replace('-', '_').replace('.', '_'),
           '"%d %d %d 1",' % (W * len(images), H, len(PALETTE))]
    out += ['"%s c %s",' % (k, v) for k, v in PALETTE.items()]
    out += ['"%s"%s' % (r, ',' if n + 1 < len(rows) else '') for n, r in enumerate(rows)]
    out.append('};')
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', name)
    with open(path, 'w') as f:
        f.write('\n'.join(out) + '\n')


write('schema-toolbar.xpm', schema)
write('builder-toolbar.xpm', builder)
write('script-toolbar.xpm', script)
write('results-toolbar.xpm', results)
