#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace benchcorpus
{

// A deterministic Japanese HTML page of about approxBytes bytes (never fewer), encoded as CP932
// with CR LF line ends. The same size and seed always give the same bytes. The page mixes markup
// (doctype, head with a charset meta tag, attributes, nested lists and tables, single- and
// multi-line comments, a script whose comment ends in "//-->") with kanji, kana, half-width
// katakana, NEC row-13 symbols, IBM extension characters and ASCII text. Every character is one
// that CP932 holds and that survives a round trip through EUC-JP.
QByteArray makeCorpusCp932(qsizetype approxBytes, quint32 seed = 1);

} // namespace benchcorpus
