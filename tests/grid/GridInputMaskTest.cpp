#include "grid/CGridInputMask.h"

#include <gtest/gtest.h>

TEST(GridInputMask, TranslatesToLineEditNotationAndRecognisesBlankInput)
{
    EXPECT_EQ(CGridInputMask::toLineEditMask(u"99.99.9999"_qs), u"00.00.0000;_");
    // Literals that the line edit would read as mask characters are escaped.
    EXPECT_EQ(CGridInputMask::toLineEditMask(u"99-AAA-99"_qs), u"00-aaa-00;_");
    EXPECT_EQ(CGridInputMask::toLineEditMask(u"9 h:9;"_qs), u"0 \\h:0\\;;_");
    EXPECT_TRUE(CGridInputMask::toLineEditMask({}).isEmpty());

    const QString date = u"99.99.9999"_qs;
    EXPECT_TRUE(CGridInputMask::isBlank(date, u".."_qs));
    EXPECT_TRUE(CGridInputMask::isBlank(date, {}));
    EXPECT_FALSE(CGridInputMask::isBlank(date, u"1.."_qs));
    EXPECT_FALSE(CGridInputMask::isBlank(date, u"...."_qs));

    EXPECT_TRUE(CGridInputMask::isComplete(date, u"07.12.2026"_qs));
    EXPECT_FALSE(CGridInputMask::isComplete(date, u"07.12.202"_qs));
    EXPECT_FALSE(CGridInputMask::isComplete(date, u"dd.mm.yyyy"_qs));
}
