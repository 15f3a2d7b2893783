#include "engine/OraError.h"
#include "engine/OraNumber.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using engine::OraNumber;

namespace {

std::vector<std::uint8_t> hexBytes(const std::string& hex)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < hex.size() + 1; i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<std::uint8_t> bytesOf(const OraNumber& n)
{
    return std::vector<std::uint8_t>(n.bytes().begin(), n.bytes().begin() + n.bytes()[0] + 1);
}

std::string tmText(const std::string& text)
{
    return OraNumber::fromText(text)->toTmText();
}

} // namespace

TEST(OraNumberTest, EncodesOracleBytesAndDecodesThemBack)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0", "01 80"},
        {"1", "02 C1 02"},
        {"-1", "03 3E 64 66"},
        {"-5", "03 3E 60 66"},
        {"99", "02 C1 64"},
        {"-99", "03 3E 02 66"},
        {"100", "02 C2 02"},
        {"1001", "03 C2 0B 02"},
        {"0.5", "02 C0 33"},
        {"-0.5", "03 3F 33 66"},
        {"0.001", "02 BF 0B"},
        {"1e-5", "02 BE 0B"},
        {"12.3", "03 C1 0D 1F"},
        {"123.45", "04 C2 02 18 2E"},
        {"-123.45", "05 3D 64 4E 38 66"},
        {"3.14159", "05 C1 04 0F 10 5B"},
        {"1e-130", "02 80 02"},
        {"-1e-130", "03 7F 64 66"},
        {"1e125", "02 FF 0B"},
        {"-1e125", "03 00 5B 66"},
        {"12345678901234567890123456789012345678",
         "14 D3 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F 5B 0D 23 39 4F"},
        {"-12345678901234567890123456789012345678",
         "15 2C 59 43 2D 17 0B 59 43 2D 17 0B 59 43 2D 17 0B 59 43 2D 17 66"},
        {"-123456789012345678901234567890123456789",
         "15 2B 64 4E 38 22 0C 64 4E 38 22 0C 64 4E 38 22 0C 64 4E 38 22 0C"},
    };
    for (const auto& [text, hex] : cases) {
        SCOPED_TRACE(text);
        std::optional<OraNumber> n = OraNumber::fromText(text);
        ASSERT_TRUE(n);
        std::vector<std::uint8_t> expected = hexBytes(hex);
        EXPECT_EQ(bytesOf(*n), expected);
        std::optional<OraNumber> back = OraNumber::fromBytes(expected.data(), expected.size());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->toDecimalText(), n->toDecimalText());
    }
    // Forty nines: the largest value, twenty mantissa bytes and no terminator when negative.
    std::string nines(40, '9');
    std::optional<OraNumber> max = OraNumber::fromText("0." + nines + "e126");
    ASSERT_TRUE(max);
    EXPECT_EQ(max->bytes()[0], 21);
    EXPECT_EQ(max->bytes()[1], 0xFF);
    std::optional<OraNumber> min = OraNumber::fromText("-0." + nines + "e126");
    ASSERT_TRUE(min);
    EXPECT_EQ(min->bytes()[0], 21);
    EXPECT_EQ(min->bytes()[21], 0x02);
}

TEST(OraNumberTest, RejectsInvalidBytesAndOutOfRangeText)
{
    const std::uint8_t negativeInfinity[] = {1, 0x00};
    const std::uint8_t positiveInfinity[] = {2, 0xFF, 0x65};
    const std::uint8_t badDigit[] = {2, 0xC1, 0x00};
    const std::uint8_t tooLong[] = {22, 0xC1};
    EXPECT_FALSE(OraNumber::fromBytes(negativeInfinity, sizeof negativeInfinity));
    EXPECT_FALSE(OraNumber::fromBytes(positiveInfinity, sizeof positiveInfinity));
    EXPECT_FALSE(OraNumber::fromBytes(badDigit, sizeof badDigit));
    EXPECT_FALSE(OraNumber::fromBytes(tooLong, sizeof tooLong));
    EXPECT_FALSE(OraNumber::fromBytes(nullptr, 22));
    const std::uint8_t truncated[] = {3, 0xC2};
    EXPECT_FALSE(OraNumber::fromBytes(truncated, sizeof truncated));

    EXPECT_FALSE(OraNumber::fromText("1e126"));
    EXPECT_FALSE(OraNumber::fromText("-1e126"));
    EXPECT_FALSE(OraNumber::fromText(""));
    EXPECT_FALSE(OraNumber::fromText("."));
    EXPECT_FALSE(OraNumber::fromText("1.2.3"));
    EXPECT_FALSE(OraNumber::fromText("12x"));
    EXPECT_FALSE(OraNumber::fromText("1e"));
    EXPECT_TRUE(OraNumber::fromText("1e-131")->isZero());
    EXPECT_TRUE(OraNumber::fromText("  -0.000 ")->isZero());
    EXPECT_FALSE(OraNumber::fromText("-0")->isNegative());
    EXPECT_EQ(OraNumber::fromText(" +5. ")->toDecimalText(), "5");
    EXPECT_FALSE(OraNumber::fromDouble(1.0 / 0.0));
}

TEST(OraNumberTest, TmTextFollowsOracle)
{
    EXPECT_EQ(tmText("0"), "0");
    EXPECT_EQ(tmText("0.5"), ".5");
    EXPECT_EQ(tmText("-0.5"), "-.5");
    EXPECT_EQ(tmText("123.45"), "123.45");
    EXPECT_EQ(tmText("1.50"), "1.5");
    EXPECT_EQ(tmText("-1e-5"), "-.00001");
    EXPECT_EQ(tmText("1e40"), "1" + std::string(40, '0'));
    EXPECT_EQ(tmText("1e63"), "1" + std::string(63, '0'));
    EXPECT_EQ(tmText("1e64"), "1E+64");
    EXPECT_EQ(tmText("-1.5e70"), "-1.5E+70");
    EXPECT_EQ(tmText("1e-64"), "1E-64");
    EXPECT_EQ(tmText("0.3333333333333333333333333333333333333333"), "." + std::string(40, '3'));

    std::string out;
    OraNumber n = *OraNumber::fromText("123");
    ASSERT_FALSE(n.toText("TME", out));
    EXPECT_EQ(out, "1.23E+02");
    ASSERT_FALSE(n.toText("tm9", out));
    EXPECT_EQ(out, "123");
    engine::OraError bad = n.toText("TMX", out);
    EXPECT_EQ(bad.code(), 22062);
    engine::OraError overflow = OraNumber::fromText("12345")->toText("99", out);
    EXPECT_EQ(overflow.code(), 22065);
}

TEST(OraNumberTest, ConvertsFromDoublesAndToIntegers)
{
    EXPECT_EQ(OraNumber::fromDouble(0.1)->toDecimalText(), "0.1");
    EXPECT_EQ(OraNumber::fromDouble(-2.5e-7)->toTmText(), "-.00000025");
    EXPECT_EQ(OraNumber::fromDouble(1e20)->toTmText(), "100000000000000000000");
    EXPECT_EQ(OraNumber::fromInt64(INT64_MIN).toDecimalText(), "-9223372036854775808");
    EXPECT_EQ(OraNumber::fromUInt64(UINT64_MAX).toDecimalText(), "18446744073709551615");
    EXPECT_DOUBLE_EQ(OraNumber::fromText("123.45")->toDouble(), 123.45);

    std::int32_t i32 = 0;
    EXPECT_FALSE(OraNumber::fromText("-2147483648")->toInteger(4, true, &i32));
    EXPECT_EQ(i32, INT32_MIN);
    EXPECT_FALSE(OraNumber::fromText("2.5")->toInteger(4, true, &i32));
    EXPECT_EQ(i32, 3);
    EXPECT_EQ(OraNumber::fromText("2147483648")->toInteger(4, true, &i32).code(), 22053);
    std::uint8_t u8 = 0;
    EXPECT_EQ(OraNumber::fromText("-1")->toInteger(1, false, &u8).code(), 22053);
    EXPECT_FALSE(OraNumber::fromText("255")->toInteger(1, false, &u8));
    EXPECT_EQ(u8, 255);
    EXPECT_EQ(OraNumber::fromText("1")->toInteger(3, true, &i32).code(), 22063);
    std::int64_t i64 = 0;
    EXPECT_EQ(OraNumber::fromText("1e30")->toInteger(8, true, &i64).code(), 22053);
    EXPECT_FALSE(OraNumber::fromText("1e30")->toInt64());
    EXPECT_EQ(*OraNumber::fromText("-7.9")->toInt64(), -7);
}

TEST(OraNumberTest, RoundsTruncatesAndComparesExactly)
{
    EXPECT_EQ(OraNumber::fromText("2.555")->rounded(2).toDecimalText(), "2.56");
    EXPECT_EQ(OraNumber::fromText("-2.5")->rounded(0).toDecimalText(), "-3");
    EXPECT_EQ(OraNumber::fromText("1250")->rounded(-2).toDecimalText(), "1300");
    EXPECT_EQ(OraNumber::fromText("999.96")->rounded(1).toDecimalText(), "1000");
    EXPECT_EQ(OraNumber::fromText("0.004")->rounded(2).toDecimalText(), "0");
    EXPECT_EQ(OraNumber::fromText("-2.7")->truncated(0).toDecimalText(), "-2");
    EXPECT_EQ(OraNumber::fromText("1299")->truncated(-2).toDecimalText(), "1200");
    // Rounding to 40 significant digits carries into a new digit.
    EXPECT_EQ(OraNumber::fromText(std::string(45, '9'))->toDecimalText(), "1" + std::string(45, '0'));

    EXPECT_LT(OraNumber::fromText("0.45")->compare(*OraNumber::fromText("0.5")), 0);
    EXPECT_GT(OraNumber::fromText("-0.45")->compare(*OraNumber::fromText("-0.5")), 0);
    EXPECT_EQ(OraNumber::fromText("10")->compare(*OraNumber::fromText("1e1")), 0);
    EXPECT_LT(OraNumber::fromText("-1")->compare(OraNumber()), 0);
}
