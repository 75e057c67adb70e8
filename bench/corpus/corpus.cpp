#include "corpus.h"

#include <QString>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace benchcorpus
{
namespace
{

// Character pools. Every character here is held by CP932 at the code its encoder chooses, and that
// code survives CP932 -> EUC-JP -> CP932 unchanged.
constexpr char16_t kKanji[] =
    u"日本語文字列表示編集保存開始終了設定画面作成変更追加削除検索置換印刷情報会社名前住所電話番号"
    u"時間年月週曜今回前後左右上下大小中高低新旧長短明暗春夏秋冬朝昼夜東西南北山川海空雨雪風花鳥"
    u"星光音楽歌声話読書写真絵図形色赤青黄緑白黒茶紫桜梅松竹京都府県市町村駅線路橋港島岡崎渡辺";
constexpr char16_t kHiragana[] =
    u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわを"
    u"んがぎぐげござじずぜぞだでどばびぶべぼぱぴぷぺぽっゃゅょ";
constexpr char16_t kKatakana[] =
    u"アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲ"
    u"ンガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポッャュョヴー";
constexpr char16_t kHalfWidth[] = u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｰﾞﾟ｡｢｣､･";
constexpr char16_t kNecRow13[] = u"①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩ㍉㌔㌢㍍㌘㌧㌃㌶㍑㍗"
                                 u"㌍㌦㌣㌫㍊㌻㎜㎝㎞㎎㎏㏄㎡㍻〝〟№㏍℡㊤㊥㊦㊧㊨㈱㈲㈹㍾㍽㍼";
constexpr char16_t kIbm[] =
    u"ⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹ￤＇＂纊褜鍈銈蓜俉炻昱棈鋹曻彅丨仡仼伀伃伹佖侒侊侚侔俍偀倢"
    u"俿倞偆偰偂傔僴僘兊兤冝冾凬刕劜劦勀勛匀匇匤卲厓厲叝﨎咜咊咩哿喆坙坥垬埈"
    u"埇﨏增墲夋奓奛奝奣妤妺孖寀甯寘寬尞岦岺峵崧嵓﨑嵂嵭嶸嶹巐弡弴彧德髙";
constexpr const char16_t *kAsciiWords[] = {
    u"Tavlen",     u"HTML",         u"editor", u"sample",
    u"text",       u"version 1.0",  u"index",  u"The quick brown fox",
    u"jumps over", u"the lazy dog", u"&amp;",  u"&lt;tag&gt;",
    u"2026",       u"Shift_JIS",    u"EUC-JP", u"(c)",
};
constexpr const char16_t *kClasses[] = {u"note", u"main", u"menu", u"list", u"title", u"footer"};

// A small deterministic generator (xorshift32), so the corpus never depends on the library's RNG.
class Random
{
public:
    explicit Random(quint32 seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int n) { return int(next() % quint32(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    quint32 m_state;
};

template <qsizetype N> QStringView pool(const char16_t (&chars)[N])
{
    return QStringView(chars, N - 1); // without the terminating zero
}

class PageWriter
{
public:
    explicit PageWriter(quint32 seed) : m_random(seed) {}

    QString header() const
    {
        return QStringLiteral(
            "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
            "<html lang=\"ja\">\r\n<head>\r\n"
            "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
            "<title>たぶれん 試験用ページ ｻﾝﾌﾟﾙ ①</title>\r\n"
            "<style type=\"text/css\">\r\n<!--\r\nbody { color: #000000; }\r\n"
            ".note { font-size: small; }\r\n-->\r\n</style>\r\n</head>\r\n<body>\r\n");
    }
    static QString footer() { return QStringLiteral("</body>\r\n</html>\r\n"); }

    QString section(int index)
    {
        QString s;
        const QString id = QString::number(index);
        s += u"<h2 id=\"s"_s + id + u"\" class=\""_s + className() + u"\">"_s + text(4, 12) +
             u"</h2>\r\n"_s;
        s += u"<p class=\""_s + className() + u"\">"_s + text(20, 80) + u" <a href=\"page"_s +
             QString::number(m_random.below(500)) + u".html\" title=\""_s + text(2, 6) + u"\">"_s +
             text(3, 10) + u"</a>"_s + text(10, 40) + u"</p>\r\n"_s;
        if (m_random.chance(50))
            s += u"<!-- "_s + text(5, 20) + u" -->\r\n"_s;
        if (m_random.chance(30))
            s += u"<!--\r\n"_s + text(10, 30) + u"\r\n<p class=\"old\">"_s + text(5, 15) +
                 u"</p>\r\n-->\r\n"_s;
        s += list();
        if (m_random.chance(60))
            s += table();
        if (m_random.chance(20))
            s += u"<script type=\"text/javascript\">\r\n<!--\r\nfunction show"_s + id +
                 u"() {\r\n  alert(\""_s + text(4, 12) + u"\");\r\n}\r\n//-->\r\n</script>\r\n"_s;
        return s;
    }

private:
    QString className() { return QString::fromUtf16(kClasses[m_random.below(6)]); }

    QChar pick(QStringView chars) { return chars.at(m_random.below(int(chars.size()))); }

    void appendRun(QString &out, QStringView chars, int minLen, int maxLen)
    {
        const int n = minLen + m_random.below(maxLen - minLen + 1);
        for (int i = 0; i < n; ++i)
            out += pick(chars);
    }

    // Running text of roughly minChars..maxChars characters.
    QString text(int minChars, int maxChars)
    {
        QString out;
        const int target = minChars + m_random.below(maxChars - minChars + 1);
        while (out.size() < target) {
            const int kind = m_random.below(100);
            if (kind < 30)
                appendRun(out, pool(kKanji), 1, 3);
            else if (kind < 60)
                appendRun(out, pool(kHiragana), 1, 4);
            else if (kind < 70)
                appendRun(out, pool(kKatakana), 2, 5);
            else if (kind < 75)
                appendRun(out, pool(kHalfWidth), 2, 6);
            else if (kind < 79)
                appendRun(out, pool(kNecRow13), 1, 1);
            else if (kind < 83)
                appendRun(out, pool(kIbm), 1, 2);
            else if (kind < 93)
                out += QStringView(kAsciiWords[m_random.below(std::size(kAsciiWords))]);
            else
                out += m_random.chance(50) ? u"、"_s : u"。"_s;
        }
        return out;
    }

    QString list()
    {
        QString s = QStringLiteral("<ul>\r\n");
        const int items = 2 + m_random.below(3);
        for (int i = 0; i < items; ++i) {
            s += u"<li>"_s + text(5, 25);
            if (i == 0)
                s += u"\r\n<ul>\r\n<li>"_s + text(3, 15) + u"</li>\r\n<li>"_s + text(3, 15) +
                     u"</li>\r\n</ul>\r\n"_s;
            s += u"</li>\r\n"_s;
        }
        return s + u"</ul>\r\n"_s;
    }

    QString table()
    {
        QString s = u"<table border=\"1\" class=\""_s + className() + u"\">\r\n<tr><th>"_s +
                    text(2, 6) + u"</th><th>"_s + text(2, 6) + u"</th></tr>\r\n"_s;
        const int rows = 1 + m_random.below(3);
        for (int r = 0; r < rows; ++r)
            s += u"<tr><td>"_s + text(3, 12) + u"</td><td><table><tr><td>"_s + text(2, 8) +
                 u"</td></tr></table></td></tr>\r\n"_s;
        return s + u"</table>\r\n"_s;
    }

    Random m_random;
};

QByteArray encode(QStringEncoder &encoder, const QString &text)
{
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        qFatal("benchcorpus: a corpus character is not held by CP932");
    return bytes;
}

} // namespace

QByteArray makeCorpusCp932(qsizetype approxBytes, quint32 seed)
{
    QStringEncoder encoder("Shift_JIS");
    PageWriter writer(seed);
    const QByteArray tail = encode(encoder, PageWriter::footer());
    QByteArray page = encode(encoder, writer.header());
    page.reserve(approxBytes + 4096);
    for (int index = 1; page.size() + tail.size() < approxBytes; ++index)
        page += encode(encoder, writer.section(index));
    return page + tail;
}

} // namespace benchcorpus
