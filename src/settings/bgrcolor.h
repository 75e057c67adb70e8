#pragma once

#include "platform/bgrcolor.h"

namespace settings
{
using app::bgrFromColor;
using app::colorFromBgr;
} // namespace settings
