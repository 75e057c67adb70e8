#pragma once

#include "platform/twips.h"

namespace tagsets
{

// Where the tag set editor's controls stand, in twips. Those inside the frame fraCont are relative
// to the frame, the others to the dialog's client area.
struct EditorLayout {
    platform::TwipsRect fraCont{120, 555, 6810, 4995};
    platform::TwipsRect txtBefore{150, 810, 6465, 1845};
    platform::TwipsRect labCenter{150, 2640, 6465, 315};
    platform::TwipsRect txtAfter{150, 2955, 6465, 1845};
    platform::TwipsRect cmdNew{3210, 5640, 1155, 405};
    platform::TwipsRect cmdSave{4485, 5640, 1155, 405};
    platform::TwipsRect cmdClose{5760, 5640, 1155, 405};
};

// The editor's client area as designed, in twips; also its smallest size.
inline constexpr float EditorDesignWidth = 7005;
inline constexpr float EditorDesignHeight = 6075;

// The layout for a client area of width x height twips (at least the design size): the frame
// grows by the whole extra width and height, the two boxes share the extra height equally (not
// rounded) with the label between them following, and the three buttons move right and down.
EditorLayout layoutEditor(float width, float height);

} // namespace tagsets
