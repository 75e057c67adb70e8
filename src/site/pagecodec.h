#pragma once

#include "codec/filetext.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

// A page of a site as its own encoding gives it: the text, and what writing it back must keep.
namespace site
{

enum class PageEncoding { Ascii, ShiftJis, EucJp, Iso2022Jp, Utf8 };

struct PageForm {
    PageEncoding encoding = PageEncoding::Ascii;
    bool byteOrderMark = false; // UTF-8 behind EF BB BF
    codec::LineEnds lineEnds = codec::LineEnds::None;

    friend bool operator==(const PageForm &, const PageForm &) = default;
};

struct DecodedPage {
    QString text; // line breaks as in the file
    PageForm form;
};

// Why a page is left alone: a Japanese sentence.
struct PageSkip {
    QString reason;
};

// Whether bytes hold a zero byte: no page of these encodings does.
bool looksBinary(QByteArrayView bytes);

// The page's text, its encoding decided as a browser would: the byte order mark, then the
// charset declaration within the first 1,024 bytes, then the byte structure (CP932, EUC-JP,
// ISO-2022-JP or UTF-8). A page with bytes its encoding does not read, or (with exact set) whose
// text would not be written back as the very same bytes, is skipped with the reason.
std::variant<DecodedPage, PageSkip> decodePage(QByteArrayView bytes, bool exact);

// The bytes of text in form, the line breaks as they are in text. A character the encoding cannot
// hold (or that would not read back as itself) skips the page: nothing stands in for it.
std::variant<QByteArray, PageSkip> encodePage(QStringView text, const PageForm &form);

// The text of bytes read as form says (a byte order mark left out), or nullopt when they hold a
// byte sequence the encoding does not read.
std::optional<QString> readPageText(QByteArrayView bytes, const PageForm &form);

// "Shift_JIS", "EUC-JP", "ISO-2022-JP", "UTF-8", "UTF-8 (BOM)" or "ASCII".
QString encodingLabel(const PageForm &form);
// "CR LF", "LF", "CR", "混在" or "なし".
QString lineEndsLabel(codec::LineEnds lineEnds);
// Which line breaks text uses.
codec::LineEnds lineEndsOf(QStringView text);

} // namespace site
