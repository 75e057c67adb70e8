#pragma once

#include "platform/colorrun.h"

#include <QStringView>
#include <span>
#include <vector>

namespace platform
{

// One change of the editor's text: removed characters from position give way to added ones.
struct TextChange {
    qsizetype position = 0;
    qsizetype removed = 0;
    qsizetype added = 0;
};

// How many characters two versions of a stretch share at the start and, after that, at the end:
// what lies between is what really changed.
struct CommonEnds {
    qsizetype prefix = 0;
    qsizetype suffix = 0;
};
CommonEnds commonEnds(QStringView before, QStringView after);

// Moves the colour runs (sorted, not overlapping, none empty) over the changes, as making the
// changes one at a time from the last to the first would. Changes are in order of position, with
// positions of the text before any of them, and none starts before the end of the one before.
// Typed text takes the colour of the character before it; text that replaces a selection takes
// the colour of the selection's first character; runs left empty are dropped.
void shiftRuns(std::vector<ColorRun> &runs, std::span<const TextChange> changes);

// Moves the colour runs over one change whose added text takes no colour of its neighbours (the
// text an undo or a redo puts back): a run it lands in is split around it.
void shiftRunsLeavingAddedUncoloured(std::vector<ColorRun> &runs, const TextChange &change);

} // namespace platform
