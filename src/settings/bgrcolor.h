#pragma once

#include "app/bgrcolor.h"

namespace settings
{
using app::bgrFromColor;
using app::colorFromBgr;
} // namespace settings
