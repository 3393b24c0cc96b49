#pragma once
// Qt's own texts (the Yes and No of a question, the standard texts of menus
// and dialogs) in the system's language: the translations Qt ships
// (qt6-translations-l10n), loaded for the language the language id picks, as
// the program's own texts are picked.

#include <cstdint>
#include <memory>

class QTranslator;

// Installs Qt's translation for the language on the running application and
// returns it; the application uses it while it lives. Null when the language
// keeps Qt's English or its file is not installed (Qt's English texts stay).
std::unique_ptr<QTranslator> InstallQtTranslations(std::uint16_t languageId);
