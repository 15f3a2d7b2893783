// Values into and out of the caller's OCI buffers: cutting text on character boundaries, CHAR
// padding, malformed input bytes, and the 7-byte DATE form.
#include "engine/EngineBuffers.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace engine;
using namespace engine::buffers;
using namespace oci;

namespace {

struct Out {
    alignas(2) char bytes[64];
    sb2 indicator = 99;
    ub2 length = 99;
    ub2 returnCode = 99;
    Slot slot(ub2 dty, sb4 size, bool utf16)
    {
        std::memset(bytes, 0x7F, sizeof bytes);
        Slot s;
        s.value = bytes;
        s.size = size;
        s.dty = dty;
        s.utf16 = utf16;
        s.indicator = &indicator;
        s.length = &length;
        s.returnCode = &returnCode;
        return s;
    }
};

} // namespace

TEST(EngineBuffers, TextIsCutOnCharacterBoundariesAndReportsItsFullLength)
{
    Out out;
    Stored stored{};
    // "a𝄞b": the pair must not be split when only two units fit before the terminator.
    ASSERT_FALSE(storeValue(out.slot(SQLT_STR, 6, true), EngineValue::text("a\xF0\x9D\x84\x9E" "b"), stored));
    EXPECT_EQ(stored, Stored::Truncated);
    char16_t units[3];
    std::memcpy(units, out.bytes, sizeof units);
    EXPECT_EQ(units[0], u'a');
    EXPECT_EQ(units[1], 0);
    EXPECT_EQ(out.indicator, 8); // 4 units in bytes
    EXPECT_EQ(out.returnCode, 1406);

    // Narrow text keeps whole UTF-8 sequences: "é" takes two bytes and does not fit in one.
    ASSERT_FALSE(storeValue(out.slot(SQLT_STR, 3, false), EngineValue::text("xé"), stored));
    EXPECT_STREQ(out.bytes, "x");
    EXPECT_EQ(out.indicator, 3);

    // CHAR is blank-padded to its size and carries no terminator.
    ASSERT_FALSE(storeValue(out.slot(SQLT_AFC, 8, true), EngineValue::text("ab"), stored));
    std::u16string padded(4, u'\0');
    std::memcpy(padded.data(), out.bytes, 8);
    EXPECT_EQ(padded, u"ab  ");
    EXPECT_EQ(out.length, 8);

    // Malformed UTF-8 becomes U+FFFD rather than being dropped or read past its end.
    ASSERT_FALSE(storeValue(out.slot(SQLT_STR, 20, true), EngineValue::text("\xC3" "a\xE2\x82"), stored));
    std::memcpy(units, out.bytes, sizeof units);
    EXPECT_EQ(units[0], u'\uFFFD');
    EXPECT_EQ(units[1], u'a');
    EXPECT_EQ(units[2], u'\uFFFD');

    // A NULL leaves the buffer alone and sets the indicator; without one it is ORA-01405.
    Slot nul = out.slot(SQLT_STR, 10, false);
    EXPECT_FALSE(storeValue(nul, EngineValue(), stored));
    EXPECT_EQ(out.indicator, -1);
    EXPECT_EQ(out.bytes[0], 0x7F);
    nul.indicator = nullptr;
    EXPECT_EQ(storeValue(nul, EngineValue(), stored).code(), 1405);
}

TEST(EngineBuffers, InputBytesAreCheckedBeforeUse)
{
    Out in;
    EngineValue value;
    // A VARNUM whose length byte claims more than the buffer holds, and the -infinity encoding.
    Slot vnu = in.slot(SQLT_VNU, 3, false);
    const unsigned char overlong[3] = {21, 0xC1, 0x02};
    std::memcpy(in.bytes, overlong, 3);
    in.indicator = 0;
    EXPECT_EQ(readValue(vnu, value).code(), 1722);
    const unsigned char minusInfinity[2] = {1, 0x00};
    std::memcpy(in.bytes, minusInfinity, 2);
    EXPECT_EQ(readValue(vnu, value).code(), 1722);

    // An OCIDate with month 13 or 30 February.
    Slot odt = in.slot(SQLT_ODT, 8, false);
    OCIDate date{2024, 13, 1, {0, 0, 0}};
    std::memcpy(in.bytes, &date, 8);
    in.indicator = 0;
    EXPECT_EQ(readValue(odt, value).code(), 1843);
    date = OCIDate{2024, 2, 30, {0, 0, 0}};
    std::memcpy(in.bytes, &date, 8);
    EXPECT_EQ(readValue(odt, value).code(), 1847);

    // Unterminated narrow text stops at the buffer's end; CHR uses the given length.
    Slot str = in.slot(SQLT_STR, 5, false);
    std::memset(in.bytes, 'z', sizeof in.bytes);
    in.indicator = 0;
    ASSERT_FALSE(readValue(str, value));
    EXPECT_EQ(value.asText(), "zzzzz");
    Slot chr = in.slot(SQLT_CHR, 10, false);
    std::memset(in.bytes, 'q', 10);
    in.length = 3;
    in.indicator = 0;
    ASSERT_FALSE(readValue(chr, value));
    EXPECT_EQ(value.asText(), "qqq");
}

TEST(EngineBuffers, SevenByteDatesRoundTrip)
{
    Out out;
    Stored stored{};
    const OraDate date{1999, 12, 31, 23, 59, 58};
    ASSERT_FALSE(storeValue(out.slot(SQLT_DAT, 7, false), EngineValue::date(date), stored));
    const unsigned char expected[7] = {119, 199, 12, 31, 24, 60, 59};
    EXPECT_EQ(std::memcmp(out.bytes, expected, 7), 0);
    EngineValue back;
    out.indicator = 0;
    ASSERT_FALSE(readValue(Slot{out.bytes, 7, SQLT_DAT, false, &out.indicator, nullptr, nullptr}, back));
    EXPECT_EQ(back.asDate(), date);
}
