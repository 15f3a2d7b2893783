#include "ui/CStaticLabel.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The label drawn over a red parent background.
QImage renderOverRed(CStaticLabel &label)
{
    label.resize(label.sizeHint() + QSize(20, 6));
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool hasColour(const QImage &image, QColor colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(StaticLabelTest, ColourrefsAreBlueGreenRed)
{
    EXPECT_EQ(CStaticLabel::fromColorref(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(CStaticLabel::fromColorref(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(CStaticLabel::fromColorref(0x123456), QColor(0x56, 0x34, 0x12));
    CStaticLabel label;
    label.setTextColor(0xFF123456); // the high byte is no part of a colour
    EXPECT_EQ(label.textColor(), 0x123456u);
}

TEST(StaticLabelTest, TransparentLabelsLeaveTheBackgroundToTheirParent)
{
    CStaticLabel label(QStringLiteral("Version 1.5"));
    label.setTextColor(0xFF0000); // blue text
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    label.setPalette(palette);

    const QImage opaque = renderOverRed(label);
    EXPECT_EQ(opaque.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_TRUE(hasColour(opaque, QColor(0, 0, 255)) || hasColour(opaque, QColor(0, 0, 254)));

    label.setTransparent(true);
    const QImage transparent = renderOverRed(label);
    EXPECT_EQ(transparent.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_FALSE(hasColour(transparent, QColor(Qt::white)));
}

TEST(StaticLabelTest, AFontDescriptionReplacesTheFont)
{
    CStaticLabel label(QStringLiteral("Text"));
    CLogFont big = CLogFont::generic();
    big.lfHeight = -30;
    big.lfWeight = 700;
    const int before = label.sizeHint().height();
    label.setFontDescription(big);
    EXPECT_GT(label.sizeHint().height(), before);
    EXPECT_TRUE(label.font().bold());
    label.setFontDescription(CLogFont()); // all zero: the generic font again
    EXPECT_EQ(label.sizeHint().height(), before);
}

TEST(StaticLabelTest, LinkLabelsReportClicksAndKeys)
{
    CLinkLabel link(QStringLiteral("Help page"), QUrl(QStringLiteral("file:///help/index.html")));
    link.show();
    QSignalSpy spy(&link, &CLinkLabel::activated);
    QTest::mouseClick(&link, Qt::LeftButton, {}, link.rect().center());
    QTest::keyClick(&link, Qt::Key_Space);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toUrl(), link.url());
    EXPECT_TRUE(link.font().underline());
}
