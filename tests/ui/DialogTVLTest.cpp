// The common dialog base: focus given back on reactivation, F1 raising the welcome window or
// opening the help page.
#include "ui/CDialogTVL.h"
#include "ui/CScriptedPrompt.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

TEST(DialogTVL, FocusReturnsToTheControlThatHadItWhenDeactivated)
{
    CDialogTVL dialog;
    auto *first = new QLineEdit(&dialog);
    auto *second = new QLineEdit(&dialog);
    second->move(0, 40);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    second->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), second);

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(dialog.rememberedFocus(), second);
    // Something moves the dialog's focus child while it is inactive; reactivation still restores
    // the control the user left.
    first->setFocus();

    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), second);
}

TEST(DialogTVL, F1RaisesTheWelcomeWindowOrOpensTheHelpPage)
{
    CScriptedPrompt prompt;
    QList<QUrl> opened;
    CDialogTVL::setUrlOpener([&](const QUrl &url) {
        opened.append(url);
        return true;
    });
    CDialogTVL dialog;
    dialog.show();

    // A page next to the executable is found first.
    const QString folder = QCoreApplication::applicationDirPath() + "/help";
    const bool hadPage = QFile::exists(folder + "/index.html");
    if (!hadPage) {
        QDir().mkpath(folder);
        QFile page(folder + "/index.html");
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
    }
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("help/index.html"));
    EXPECT_TRUE(prompt.messages().isEmpty());

    // An opener that fails is reported, not ignored.
    CDialogTVL::setUrlOpener([](const QUrl &) { return false; });
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(prompt.messages().size(), 1);

    // An open welcome window is brought up instead of the page.
    QWidget welcome;
    welcome.setWindowTitle("Welcome to Tarvolo");
    welcome.show();
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(prompt.messages().size(), 1);
    CDialogTVL::setUrlOpener({});
    if (!hadPage)
        QDir(folder).removeRecursively();
}
