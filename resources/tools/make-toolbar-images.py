#!/usr/bin/env python3
# Draws the toolbar images of the Schema and Builder pages (17 x 15 each) as two XPM strips:
# resources/schema-toolbar.xpm (refresh, copy name, copy text) and resources/builder-toolbar.xpm
# (restart, append, insert, replace).
import math
import os

W, H = 17, 15
PALETTE = {'.': 'None', 'k': '#202020', 'w': '#FFFFFF', 'b': '#2F5FB0', 'l': '#A8C8F0',
           'y': '#E8C040', 'Y': '#B08A10', 'g': '#2E9A40', 'G': '#7CCB82', 'r': '#C83030',
           'o': '#F08020', 's': '#909090', 'S': '#D0D0D0'}


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
