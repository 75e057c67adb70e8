#pragma once

class QCoreApplication;

namespace platform
{

// Qt's own dialogs (files, fonts, colours, printing, prompts) speak Japanese like the rest of
// the program, whatever the system language. Returns false when Qt's Japanese catalogue is
// missing (the dialogs then stay in English).
bool installJapaneseQtTranslations(QCoreApplication &application);

} // namespace platform
