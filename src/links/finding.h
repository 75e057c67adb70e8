#pragma once

#include <QString>

// One problem with a local link, where it is written, and what it says to the user.
namespace links
{

enum class FindingKind {
    Missing,     // the target does not exist
    OtherCase,   // it exists only with other letter case
    NoAnchor,    // the page has no id or <a name> for the fragment
    Backslash,   // "\" in a path
    FileScheme,  // file:
    DriveLetter, // C:/…
    LeavesSite,  // the target is outside the site folder
};

struct Finding {
    QString file; // absolute path of the page or style sheet
    qsizetype line = 1;
    qsizetype column = 1; // in characters of the decoded text
    qsizetype index = 0;  // UTF-16 index of the link in the decoded text
    FindingKind kind = FindingKind::Missing;
    QString link;         // as written
    QString fix;          // OtherCase: the link spelled as the disk spells the names
    bool fixable = false; // fix may replace link at index (the page spells link as it is)
};

// The Japanese sentence for a finding, with the link as written.
QString findingMessage(const Finding &finding);

} // namespace links
