#include "app/CAboutDlg.h"

#include "ui/CStaticLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(AboutDlgTest, ShowsTheFixedVersionOnItsPicture)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About Tarvolo");
    CStaticLabel *version = dialog.versionLabel();
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Version 1.5");
    EXPECT_TRUE(version->isTransparent());
    auto *picture = dialog.findChild<QLabel *>("aboutPicture");
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    EXPECT_EQ(version->parentWidget(), picture);
    EXPECT_TRUE(picture->rect().contains(version->geometry()));
    EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST(AboutDlgTest, OkCloses)
{
    CAboutDlg dialog;
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton *>("okButton"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}
