#pragma once

#include "platform/bgrcolor.h"

namespace settings
{
using platform::bgrFromColor;
using platform::colorFromBgr;
} // namespace settings
