#pragma once

class QWidget;

// Addresses tavlen-live://<host>/<path>: a live preview's page and the files of its folder, each
// host answered by the page object that serves it. Registered with the engine before its first
// view, for the engine takes no new schemes once it runs.
void registerLiveScheme();
