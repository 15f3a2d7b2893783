#include "BarFixture.h"

#include "bar/CElementTip.h"
#include "bar/CTrayIcon.h"

#include <QMenu>
#include <QTest>

namespace {

using BarScreenshotTest = BarFixture;

// Pictures of the bar over the Samples folder, of an element's tip and of the tray menu, written
// to <build>/screenshots for a person to look at.
TEST_F(BarScreenshotTest, WritesTheBarTheTipAndTheTrayMenu)
{
    copySamples();
    options::CntBtnY = 4; // two columns of four, as a user with a wider bar has it
    CVexlorDlg &bar = openBar();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    hover(button(1));
    QTest::qWait(50);
    const QString dir = testfiles::buildDir() + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(dir));

    const QImage barImage = bar.grab().toImage();
    EXPECT_EQ(barImage.size(), QSize(300, 160) * barImage.devicePixelRatio());
    EXPECT_TRUE(barImage.save(dir + QStringLiteral("/bar.png")));

    CElementTip *tip = bar.elementTip();
    tip->prepare(button(0));
    EXPECT_FALSE(tip->sqlText().isEmpty());
    const QImage tipImage = tip->grab().toImage();
    // The border colour at the corner, the gradient's light end inside it.
    EXPECT_EQ(tipImage.pixelColor(0, 0), QColor(113, 166, 246));
    EXPECT_TRUE(tipImage.save(dir + QStringLiteral("/element-tip.png")));

    QMenu *menu = bar.trayIcon()->menu();
    menu->ensurePolished();
    menu->adjustSize();
    EXPECT_TRUE(menu->grab().save(dir + QStringLiteral("/tray-menu.png")));
}

} // namespace
