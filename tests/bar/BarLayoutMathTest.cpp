#include "bar/CBarLayoutMath.h"

#include <gtest/gtest.h>

namespace {

using Sizes = CBarLayoutMath::Sizes;

TEST(BarLayoutMathTest, FixedBarOfTwoByThreeCells)
{
    const Sizes s{150, 40, 2, 3, true};
    // Four elements: two columns of three and one.
    auto r = CBarLayoutMath::compute(s, 4, 0);
    EXPECT_EQ(r.rows, 3);
    EXPECT_EQ(r.clientSize, QSize(300, 120));
    EXPECT_EQ(CBarLayoutMath::cellOrigin(s, r.rows, 2), QPoint(0, 80));
    EXPECT_EQ(CBarLayoutMath::cellOrigin(s, r.rows, 3), QPoint(150, 0));
    // Seven: the bar keeps its size and the seventh button lies in a third column outside it.
    r = CBarLayoutMath::compute(s, 7, 0);
    EXPECT_EQ(r.clientSize, QSize(300, 120));
    EXPECT_EQ(CBarLayoutMath::cellOrigin(s, r.rows, 6), QPoint(300, 0));
    // Fewer than a column: one column just high enough.
    EXPECT_EQ(CBarLayoutMath::compute(s, 2, 0).clientSize, QSize(150, 80));
    EXPECT_EQ(CBarLayoutMath::compute(s, 6, 0).clientSize, QSize(300, 120));
}

TEST(BarLayoutMathTest, FreeBarTakesItsRowsFromTheClientHeight)
{
    const Sizes s{150, 40, 8, 8, false};
    auto r = CBarLayoutMath::compute(s, 5, 130);
    EXPECT_EQ(r.rows, 3);
    EXPECT_EQ(r.clientSize, QSize(300, 120));
    // Lower than one cell still gives one row; the reset uses ten.
    r = CBarLayoutMath::compute(s, 5, 12);
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(r.clientSize, QSize(750, 40));
    r = CBarLayoutMath::compute(s, 25, 130, true);
    EXPECT_EQ(r.rows, 10);
    EXPECT_EQ(r.clientSize, QSize(450, 400));
    EXPECT_EQ(CBarLayoutMath::compute(s, 3, 400).clientSize, QSize(150, 120));
}

TEST(BarLayoutMathTest, NoElementsGiveOneCell)
{
    EXPECT_EQ(CBarLayoutMath::compute({150, 40, 2, 3, true}, 0, 0).clientSize, QSize(150, 40));
    EXPECT_EQ(CBarLayoutMath::compute({150, 40, 2, 3, false}, 0, 500).clientSize, QSize(150, 40));
}

TEST(BarLayoutMathTest, SizesOutsideTheirOptionRangesAreClampedBeforeUse)
{
    // Zeros and negatives from a damaged settings file: no division by zero, the lowest sizes.
    const Sizes zero{0, 0, 0, 0, true};
    const auto r = CBarLayoutMath::compute(zero, 3, 0);
    EXPECT_EQ(r.rows, 1);
    EXPECT_EQ(r.clientSize, QSize(20, 10));
    EXPECT_EQ(CBarLayoutMath::compute({-5, -7, 3, 3, false}, 3, 0).clientSize, QSize(60, 10));
    const Sizes big = CBarLayoutMath::clamped({5000, 5000, 500, 500, true});
    EXPECT_EQ(big.btnX, 300);
    EXPECT_EQ(big.btnY, 300);
    EXPECT_EQ(big.cntBtnX, 100);
    EXPECT_EQ(big.cntBtnY, 100);
    EXPECT_EQ(CBarLayoutMath::cellOrigin(zero, 0, 2), QPoint(40, 0));
}

} // namespace
