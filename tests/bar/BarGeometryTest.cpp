#include "bar/CBarGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(BarGeometryTest, StoredRectanglesAreOuterFramesWithExclusiveEdges)
{
    const QRect frame(100, 50, 300, 120);
    const CScreenRect stored = barGeometry::toStored(frame);
    EXPECT_EQ(stored, (CScreenRect{100, 50, 400, 170}));
    EXPECT_EQ(barGeometry::fromStored(stored), frame);
    EXPECT_TRUE(barGeometry::isUsable(stored));

    // Zeros, negatives and slivers leave the placement to the window manager.
    EXPECT_FALSE(barGeometry::isUsable({0, 0, 0, 0}));
    EXPECT_FALSE(barGeometry::isUsable({500, 500, 100, 900}));
    EXPECT_FALSE(barGeometry::isUsable({0, 0, 300, 20}));
    EXPECT_TRUE(barGeometry::fromStored({500, 500, 100, 900}).isNull());
    EXPECT_TRUE(barGeometry::isUsable({-300, -200, -100, -50}));
}

TEST(BarGeometryTest, AFrameOnNoScreenMovesOntoThePrimaryWithItsSize)
{
    const QList<QRect> areas{QRect(0, 0, 1280, 1000), QRect(1280, 0, 1024, 768)};
    const QRect primary = areas[0];
    // On a screen, or partly on one: unchanged.
    EXPECT_EQ(barGeometry::ontoScreens(QRect(1500, 100, 300, 120), areas, primary),
              QRect(1500, 100, 300, 120));
    EXPECT_EQ(barGeometry::ontoScreens(QRect(-200, -50, 300, 120), areas, primary),
              QRect(-200, -50, 300, 120));
    // A screen that is gone, or coordinates far away: centred on the primary, same size.
    const QRect moved = barGeometry::ontoScreens(QRect(5000, 3000, 300, 120), areas, primary);
    EXPECT_EQ(moved.size(), QSize(300, 120));
    EXPECT_TRUE(primary.contains(moved));
    EXPECT_EQ(moved.center(), primary.center());
    // Below the second screen (which is shorter) counts as on no screen.
    EXPECT_TRUE(
        primary.contains(barGeometry::ontoScreens(QRect(1400, 800, 200, 100), areas, primary)));
    // Larger than the primary: its top-left corner.
    EXPECT_EQ(barGeometry::ontoScreens(QRect(-9000, 0, 2000, 1500), areas, primary),
              QRect(0, 0, 2000, 1500));
}

} // namespace
