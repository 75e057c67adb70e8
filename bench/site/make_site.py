#!/usr/bin/env python3
"""Makes a mixed Japanese site for the folder search benchmark.

usage: make_site.py PAGES FOLDER [PAGE_BYTES]

PAGES pages of about PAGE_BYTES bytes (default 50,000: 10,000 pages make about 500 MB), 60 % in
Shift_JIS, 25 % in EUC-JP and 15 % in UTF-8, with CR LF, LF and (now and then) mixed line ends,
in folders of 100 pages. Every page ends with the company's footer; one page in seven also names
the company in its text.
"""
import os
import random
import sys

WORDS = ["日本語", "ホームページ", "更新", "お知らせ", "会社概要", "製品", "サービス", "お問い合わせ",
         "東京都", "大阪府", "開発", "情報", "技術", "文書", "資料", "見積もり", "価格", "注文",
         "ありがとうございました", "よろしくお願いいたします", "新しい", "古い", "ページ", "掲示板",
         "カタログ", "ダウンロード", "リンク集", "サイトマップ", "著作権", "株式会社", "有限会社"]
COMPANY = "株式会社たぶれん"


def paragraph(rng):
    return "".join(rng.choice(WORDS) + rng.choice(["、", "。", "", " "]) for _ in range(rng.randint(20, 60)))


def page_text(n, rng, size):
    lines = ['<html><head><title>ページ %d</title></head>' % n, "<body>"]
    length = 0
    while length < size:
        line = "<p>" + paragraph(rng) + "</p>"
        lines.append(line)
        length += len(line.encode("utf-8")) * 2 // 3
    if n % 7 == 0:
        lines.insert(3, "<p>%sの新製品をご紹介します。</p>" % COMPANY)
    lines.append('<address>Copyright %s 電話 03-1234-5678</address>' % COMPANY)
    lines.append("</body></html>")
    return lines


def main():
    pages = int(sys.argv[1])
    folder = sys.argv[2]
    size = int(sys.argv[3]) if len(sys.argv) > 3 else 50000
    rng = random.Random(20240)
    for n in range(pages):
        pick = n % 20
        if pick < 12:
            encoding, declared = "cp932", "Shift_JIS"
        elif pick < 17:
            encoding, declared = "euc_jp", "EUC-JP"
        else:
            encoding, declared = "utf-8", "UTF-8"
        lines = page_text(n, rng, size)
        if n % 3 == 0:  # half the pages declare their charset, as old sites did now and then
            lines[0] = lines[0].replace("<head>", '<head><meta charset="%s">' % declared)
        eol = ["\r\n", "\n", "\r\n"][n % 3]
        text = eol.join(lines) + eol
        if n % 50 == 49:
            text = text.replace("\r\n", "\n", 3)  # a few mixed line ends
        sub = os.path.join(folder, "d%03d" % (n // 100))
        os.makedirs(sub, exist_ok=True)
        with open(os.path.join(sub, "p%05d.html" % n), "wb") as out:
            out.write(text.encode(encoding))


main()
