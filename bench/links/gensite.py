#!/usr/bin/env python3
"""Writes a site of PAGES pages for the link check bench into FOLDER.

Pages sit in folders of 100 (d000/p000.html ...), each folder has an index.html and the site's
index.html lists the folders, so a crawler that starts at index.html reaches every page. Each page
links to a shared style sheet, two pictures and fifteen other pages (some with a fragment); one
page in fifty has a link to a missing page and a missing picture; one page in ten is Shift_JIS.

Usage: gensite.py PAGES FOLDER
"""
import os
import random
import sys


def page_path(n):
    return "d%03d/p%03d.html" % (n // 100, n % 100)


def write(path, text, encoding="utf-8"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(text.encode(encoding))


def main():
    pages, folder = int(sys.argv[1]), sys.argv[2]
    rng = random.Random(25)
    folders = (pages + 99) // 100
    os.makedirs(os.path.join(folder, "img"), exist_ok=True)
    os.makedirs(os.path.join(folder, "css"), exist_ok=True)
    for k in range(50):
        open(os.path.join(folder, "img", "i%02d.png" % k), "wb").close()
    write(os.path.join(folder, "css", "site.css"),
          "body { background: url(../img/i00.png) }\n.h { background: url('../img/i01.png') }\n")
    items = "".join('<li><a href="d%03d/index.html">フォルダー %d</a></li>\n' % (d, d)
                    for d in range(folders))
    write(os.path.join(folder, "index.html"),
          '<!DOCTYPE html>\n<html lang="ja"><head><meta charset="utf-8"><title>目次</title>'
          '<link rel="stylesheet" href="css/site.css"></head>\n<body><ul>\n%s</ul></body></html>\n'
          % items)
    for d in range(folders):
        first, last = d * 100, min(pages, d * 100 + 100)
        items = "".join('<li><a href="p%03d.html">ページ %d</a></li>\n' % (n % 100, n)
                        for n in range(first, last))
        write(os.path.join(folder, "d%03d" % d, "index.html"),
              '<!DOCTYPE html>\n<html lang="ja"><head><meta charset="utf-8"><title>%d</title>'
              '</head>\n<body><p><a href="../index.html">目次</a></p><ul>\n%s</ul></body></html>\n'
              % (d, items))
    for n in range(pages):
        sjis = n % 10 == 7
        links = []
        for _ in range(15):
            other = rng.randrange(pages)
            fragment = "#s%d" % rng.randrange(5) if rng.random() < 0.3 else ""
            links.append('<a href="../%s%s">ページ %d へ</a>' % (page_path(other), fragment, other))
        if n % 50 == 3:
            links.append('<a href="../d%03d/gone%d.html">消えたページ</a>' % (n // 100, n))
            links.append('<img src="../img/gone%d.png" alt="">' % n)
        sections = "".join('<h2 id="s%d">見出し %d</h2>\n<p>日本語の本文です。%s</p>\n'
                           % (s, s, " ".join(links[s * 3:s * 3 + 3])) for s in range(5))
        extra = " ".join(links[15:])
        charset = "Shift_JIS" if sjis else "utf-8"
        text = ('<!DOCTYPE html>\n<html lang="ja"><head><meta charset="%s"><title>ページ %d</title>\n'
                '<link rel="stylesheet" href="../css/site.css"></head>\n<body>\n'
                '<img src="../img/i%02d.png" alt=""><img src="../img/i%02d.png" alt="">\n'
                '%s<p>%s</p>\n<p><a href="index.html">フォルダーへ</a></p>\n</body></html>\n'
                % (charset, n, n % 50, (n * 7) % 50, sections, extra))
        write(os.path.join(folder, page_path(n)), text, "cp932" if sjis else "utf-8")


if __name__ == "__main__":
    main()
