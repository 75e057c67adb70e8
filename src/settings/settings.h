#pragma once

// The settings store and everything kept in it.
#include "settings/appsettings.h"
#include "settings/bgrcolor.h"
#include "settings/inisettingsstore.h"
#include "settings/memorysettingsstore.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "settings/textforms.h"
#include "settings/updateinfo.h"
#include "settings/windowplacement.h"
