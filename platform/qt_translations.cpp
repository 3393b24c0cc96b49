#include "platform/qt_translations.h"

#include "platform/localized_texts.h"
#include "platform/trace.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

std::unique_ptr<QTranslator> InstallQtTranslations(std::uint16_t languageId) {
    const QString name = QString::fromLatin1(QtTranslationName(languageId));
    if (name.isEmpty() || !QCoreApplication::instance())
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qtbase_<name>.qm holds the widgets' texts; a missing package leaves
    // Qt's English, which is all a user without it ever had.
    if (!translator->load(QStringLiteral("qtbase_") + name, folder)) {
        Trace("Qt translation qtbase_%s not found in %s", qPrintable(name), qPrintable(folder));
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}
