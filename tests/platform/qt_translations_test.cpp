// Qt's own texts follow the language id: a question's buttons read in the
// user's language, as the desktop's other programs show them.

#include "platform/language_id.h"
#include "platform/message_box.h"
#include "platform/qt_translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

struct Answers {
    QString yes;
    QString no;
};

// Asks a real question and reads its buttons while it is open; answers No.
Answers AskAndReadButtons() {
    Answers answers;
    QObject context;
    QTimer::singleShot(0, &context, [&answers] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        answers.yes = box->button(QMessageBox::Yes)->text().remove(QLatin1Char('&'));
        answers.no = box->button(QMessageBox::No)->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::No)->click();
    });
    const int answer =
        ShowMessageBox({"?", APP_TITLE, MB_YESNO | MB_ICONQUESTION, MessageBoxOwner::None});
    EXPECT_EQ(answer, IDNO);
    return answers;
}

} // namespace

TEST(QtTranslations, GermanQuestionReadsJaNeinAndEnglishStaysYesNo) {
    {
        const std::unique_ptr<QTranslator> german =
            InstallQtTranslations(LanguageIdFromLocale("de_DE.UTF-8"));
        ASSERT_NE(german, nullptr) << "qtbase_de.qm not installed (qt6-translations-l10n)";
        const Answers answers = AskAndReadButtons();
        EXPECT_EQ(answers.yes, QStringLiteral("Ja"));
        EXPECT_EQ(answers.no, QStringLiteral("Nein"));
    }
    // Swiss German is not one of the program's languages: Qt's English, as
    // for every language without texts of its own.
    EXPECT_EQ(InstallQtTranslations(LanguageIdFromLocale("de_CH.UTF-8")), nullptr);
    const Answers answers = AskAndReadButtons();
    EXPECT_EQ(answers.yes, QStringLiteral("Yes"));
    EXPECT_EQ(answers.no, QStringLiteral("No"));
}
