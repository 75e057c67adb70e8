#include "check/checkjob.h"

#include "check/pagecheck.h"
#include "codec/filetext.h"
#include "files/readdocument.h"

#include <variant>

namespace check
{

namespace
{

// Through the converter, which detects the encoding.
constexpr codec::TextCode DetectedReadCode = codec::TextCode::EucJp;

} // namespace

int runCheckHtml(const QString &path, std::FILE *out, std::FILE *err)
{
    const auto read = files::readDocumentFile(path, DetectedReadCode);
    if (const auto *failure = std::get_if<files::FileFailure>(&read)) {
        std::fprintf(err, "たぶれん: %s を読めませんでした。%s\n", path.toLocal8Bit().constData(),
                     failure->reason.toUtf8().constData());
        return 2;
    }
    const auto &loaded = std::get<codec::LoadedText>(read);
    const std::vector<Finding> findings = checkPage(loaded.text);
    const QByteArray name = path.toLocal8Bit();
    for (const Finding &f : findings)
        std::fprintf(out, "%s:%lld:%lld: %s\n", name.constData(), static_cast<long long>(f.line),
                     static_cast<long long>(f.column), f.message.toUtf8().constData());
    std::fflush(out);
    return findings.empty() ? 0 : 1;
}

} // namespace check
