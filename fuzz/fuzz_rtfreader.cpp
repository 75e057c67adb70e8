// The RTF reader on any text: the runs must cover the text in order without two neighbours of
// one colour, and writing what was read must read back the same.

#include "fuzzcheck.h"

#include "reference/rtf/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QString rtf = fuzz::anyText(data, size);
    const QRgb defaultColor = qRgb(0x12, 0x34, 0x56);
    const reference::rtf::Document document = reference::rtf::read(rtf, defaultColor);

    qsizetype end = 0;
    for (std::size_t i = 0; i < document.runs.size(); ++i) {
        const platform::ColorRun &run = document.runs[i];
        FUZZ_CHECK(run.start == end);
        FUZZ_CHECK(run.length > 0);
        FUZZ_CHECK(qAlpha(run.color) == 0xFF);
        if (i > 0)
            FUZZ_CHECK(run.color != document.runs[i - 1].color);
        end += run.length;
    }
    FUZZ_CHECK(end == document.text.size());

    const QString written = reference::rtf::write(document.text, document.runs, defaultColor,
                                                  QStringLiteral("ＭＳ ゴシック"), 10.5);
    const reference::rtf::Document again = reference::rtf::read(written, defaultColor);
    FUZZ_CHECK(again.text == document.text);
    FUZZ_CHECK(again.runs == document.runs);
    return 0;
}
