#pragma once

#include <QString>

#include <vector>

namespace livepreview
{

// The numbers the line marks carry, kept steady from one version of the text to the next: the
// lines after a change keep the numbers they had, so the elements there are the same as those
// the page shows and changing the page in place leaves them alone. The numbers rise with the
// lines; the lines a change inserts share the number of the last line it replaced. The first
// text's lines are numbered 1, 2, 3 ...
class MarkNumbers
{
public:
    // Numbers text's lines following the previous text's numbers.
    void follow(const QString &text);
    // The next text is numbered from 1 again.
    void reset();
    // The numbers of the lines of the last text followed, the first line's first.
    const std::vector<int> &numbers() const { return m_numbers; }
    // The number of line (from 1) of that text.
    int numberOf(int line) const;

private:
    QString m_text;
    std::vector<int> m_numbers;
};

} // namespace livepreview
