#include "ui/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(AboutBox, CaptionIconTextAndDefaultOk) {
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About VizorDesk"));
    int pictures = 0;
    int texts = 0;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        pictures += label->pixmap().isNull() ? 0 : 1;
        texts += label->text().isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(pictures, 1);
    EXPECT_EQ(texts, 1);
    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_TRUE(buttons[0]->isDefault());
}

TEST(AboutBox, OkClosesItAccepted) {
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
