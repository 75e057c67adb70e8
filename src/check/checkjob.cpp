#include "check/checkjob.h"

#include "check/pagecheck.h"
#include "document/documentfile.h"

#include <variant>

namespace check
{

namespace
{

// Not Shift_JIS (0) nor UTF-8 (2) as they stand: the converter detects the encoding.
constexpr int DetectedReadCode = 1;

} // namespace

int runCheckHtml(const QString &path, std::FILE *out, std::FILE *err)
{
    const auto read = document::readDocumentFile(path, DetectedReadCode);
    if (const auto *failure = std::get_if<document::FileFailure>(&read)) {
        std::fprintf(err, "たぶれん: %s を読めませんでした。%s\n", path.toLocal8Bit().constData(),
                     failure->reason.toUtf8().constData());
        return 2;
    }
    const auto &loaded = std::get<document::LoadedText>(read);
    const std::vector<Finding> findings = checkPage(loaded.text);
    const QByteArray name = path.toLocal8Bit();
    for (const Finding &f : findings)
        std::fprintf(out, "%s:%lld:%lld: %s\n", name.constData(), static_cast<long long>(f.line),
                     static_cast<long long>(f.column), f.message.toUtf8().constData());
    std::fflush(out);
    return findings.empty() ? 0 : 1;
}

} // namespace check
