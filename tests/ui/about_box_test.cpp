#include "ui/about_box.h"

#include <QLabel>
#include <QPushButton>

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

} // namespace
