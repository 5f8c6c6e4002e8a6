#!/usr/bin/env python3
# Draws the 20 schema-tree images (17 x 17 each) as one XPM strip: resources/objects.xpm.
import os

W = H = 17
N = 20
PALETTE = {'.': 'None', 'k': '#202020', 'w': '#FFFFFF', 'b': '#2F5FB0', 'l': '#A8C8F0',
           'y': '#E8C040', 'Y': '#B08A10', 'g': '#2E9A40', 'r': '#C83030', 'o': '#F08020',
           'p': '#8040A0', 's': '#909090', 'S': '#D0D0D0', 'c': '#20A0B0'}
img = [[['.'] * W for _ in range(H)] for _ in range(N)]


def px(i, x, y, c):
    if 0 <= x < W and 0 <= y < H:
        img[i][y][x] = c


def rect(i, x0, y0, x1, y1, c, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge:
                px(i, x, y, c)
            elif fill:
                px(i, x, y, fill)


def line(i, x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for t in range(n + 1):
        px(i, round(x0 + (x1 - x0) * t / n), round(y0 + (y1 - y0) * t / n), c)


def disc(i, cx, cy, r, c, ring=None):
    for y in range(H):
        for x in range(W):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= r * r + r:
                px(i, x, y, ring if ring and d > (r - 1) ** 2 + (r - 1) else c)


def grid(i, x0, y0, x1, y1, head):
    rect(i, x0, y0, x1, y1, 'k', 'w')
    for x in range(x0 + 1, x1):
        for y in (y0 + 1, y0 + 2):
            px(i, x, y, head)
    for y in range(y0 + 5, y1, 3):
        line(i, x0 + 1, y, x1 - 1, y, 'S')
    for x in range(x0 + 5, x1, 5):
        line(i, x, y0 + 3, x, y1 - 1, 'S')


def folder(i):
    rect(i, 0, 3, 7, 5, 'Y', 'y')
    rect(i, 0, 5, 16, 15, 'Y', 'y')


def key(i, body, x=0, y=5):
    disc(i, x + 4, y + 4, 3, 'w', body)
    line(i, x + 7, y + 4, x + 15, y + 4, body)
    line(i, x + 7, y + 5, x + 15, y + 5, body)
    line(i, x + 12, y + 6, x + 12, y + 8, body)
    line(i, x + 15, y + 6, x + 15, y + 8, body)


def head(i, x, c):
    disc(i, x + 3, 4, 2, c)
    rect(i, x, 8, x + 6, 14, c, c)
    px(i, x, 8, '.')
    px(i, x + 6, 8, '.')


def cylinder(i, x0, y0, x1, y1, c, top):
    rect(i, x0, y0 + 1, x1, y1, 'k', c)
    line(i, x0 + 1, y0, x1 - 1, y0, 'k')
    line(i, x0 + 1, y0 + 2, x1 - 1, y0 + 2, top)
    line(i, x0 + 1, y0 + 1, x1 - 1, y0 + 1, top)
    line(i, x0 + 1, y0 + 3, x1 - 1, y0 + 3, 'k')


def gear(i, cx, cy, c):
    for dx, dy in ((0, -4), (0, 4), (-4, 0), (4, 0), (-3, -3), (3, 3), (-3, 3), (3, -3)):
        px(i, cx + dx, cy + dy, c)
    disc(i, cx, cy, 3, 'w', c)
    px(i, cx, cy, c)


def arrow(i, x0, y, x1, c):
    line(i, x0, y, x1, y, c)
    line(i, x1 - 2, y - 2, x1, y, c)
    line(i, x1 - 2, y + 2, x1, y, c)


# 0 tables, 1 table
folder(0); grid(0, 4, 7, 15, 15, 'b')
grid(1, 0, 1, 16, 15, 'b')
# 2 column: a table with one column marked
grid(2, 0, 1, 16, 15, 'b'); rect(2, 5, 3, 10, 14, 'g', 'g')
# 3 foreign key: grey key with a red arrow
key(3, 's', 0, 1); arrow(3, 2, 14, 15, 'r')
# 4 trigger: lightning
for a, b, c, d in ((10, 0, 4, 8), (11, 0, 5, 8), (4, 8, 12, 8), (4, 9, 12, 9), (12, 8, 6, 16), (11, 9, 5, 16)):
    line(4, a, b, c, d, 'o')
# 5 indexes, 6 index
folder(5)
for y in (8, 10, 12):
    line(5, 4, y, 13, y, 'c')
rect(6, 1, 1, 15, 15, 'k', 'w')
for y, n in ((4, 11), (7, 8), (10, 5), (13, 2)):
    line(6, 3, y, 3 + n, y, 'c')
# 7 primary key, 8 foreign keys
key(7, 'Y')
folder(8); key(8, 's', 1, 6)
# 9 users and rights, 10 user
head(9, 1, 'b'); head(9, 9, 'g')
head(10, 5, 'b')
# 11 system tables: grid with a red head and a gear
grid(11, 0, 1, 16, 15, 'r'); gear(11, 11, 10, 's')
# 12 views, 13 view: a grid seen through glasses
folder(12); disc(12, 6, 10, 2, 'l', 'k'); disc(12, 12, 10, 2, 'l', 'k'); line(12, 8, 10, 10, 10, 'k')
grid(13, 0, 1, 16, 15, 'g'); disc(13, 5, 10, 3, 'l', 'k'); disc(13, 12, 10, 3, 'l', 'k')
# 14 databases, 19 database
folder(14); cylinder(14, 6, 6, 14, 15, 'l', 'b')
cylinder(19, 2, 1, 14, 15, 'l', 'b')
# 15 synonyms, 16 synonym: a table pointing at another
folder(15); arrow(15, 3, 10, 14, 'p')
rect(16, 0, 0, 7, 6, 'k', 'l'); rect(16, 9, 10, 16, 16, 'k', 'b')
line(16, 4, 7, 4, 13, 'p'); arrow(16, 4, 13, 8, 'p')
# 17 procedures, 18 procedure: a page with a gear
folder(17); gear(17, 10, 10, 'p')
rect(18, 1, 0, 12, 16, 'k', 'w')
for y in (3, 6, 9):
    line(18, 3, y, 10, y, 's')
gear(18, 12, 12, 'p')

rows = [''.join(''.join(img[i][y]) for i in range(N)) for y in range(H)]
out = ['/* XPM */', 'static const char* objects_xpm[] = {',
       '"%d %d %d 1",' % (W * N, H, len(PALETTE))]
out += ['"%s c %s",' % (k, v) for k, v in PALETTE.items()]
out += ['"%s"%s' % (r, ',' if n + 1 < len(rows) else '') for n, r in enumerate(rows)]
out.append('};')
path = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'objects.xpm')
with open(path, 'w') as f:
    f.write('\n'.join(out) + '\n')
