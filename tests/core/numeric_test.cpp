#include "core/numeric.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace grelm;

TEST(RoundToInt32, HalvesGoToTheEvenNeighbour)
{
    struct Row { double in; int out; };
    const Row rows[] = {{52.5, 52}, {37.5, 38}, {8.5, 8}, {23.5, 24}, {-0.5, 0}, {-1.5, -2},
                        {0.49999, 0}, {2147483647.0, 2147483647}, {-2147483648.0, -2147483647 - 1}};
    for (const Row &r : rows)
        EXPECT_EQ(roundToInt32(r.in), r.out) << r.in;
}

TEST(RoundToInt32, OutOfRangeAndNotANumberOverflow)
{
    for (double v : {2147483647.5, -2147483649.0, 1e300, std::nan(""), double(INFINITY)})
        EXPECT_THROW(roundToInt32(v), OverflowError) << v;
}

TEST(CheckedNarrow, ThrowsWhenTheValueDoesNotFit)
{
    EXPECT_EQ(checkedNarrow<std::int16_t>(32767), 32767);
    EXPECT_THROW(checkedNarrow<std::int16_t>(32768), OverflowError);
    EXPECT_THROW(checkedNarrow<std::uint32_t>(-1), OverflowError);
}

TEST(TextToInt32, ReadsNumbersLikeANumberBox)
{
    struct Row { const char *in; int out; };
    const Row rows[] = {{"70", 70}, {"  70 ", 70}, {"\t70", 70}, {"+5", 5}, {"-3", -3},
                        {"2.5", 2}, {"3.5", 4}, {".5", 0}, {"1e2", 100}, {"2147483647", 2147483647}};
    for (const Row &r : rows)
        EXPECT_EQ(textToInt32(QString::fromUtf8(r.in)), r.out) << r.in;
}

TEST(TextToInt32, RejectsWhatIsNotANumber)
{
    for (const char *in : {"", "   ", "abc", "70px", "7 0", "-", ".", "0x10"})
        EXPECT_THROW(textToInt32(QString::fromUtf8(in)), TypeMismatchError) << in;
    EXPECT_THROW(textToInt32(QStringLiteral("2147483648")), OverflowError);
    EXPECT_THROW(textToInt32(QStringLiteral("-99999999999")), OverflowError);
}

TEST(LeadingNumber, TakesTheNumberAtTheStartOrZero)
{
    struct Row { const char *in; double out; };
    const Row rows[] = {{"12", 12}, {" 12 files", 12}, {"1 2", 12}, {"abc", 0}, {"", 0},
                        {"-4.5x", -4.5}, {"0", 0}};
    for (const Row &r : rows)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(r.in)), r.out) << r.in;
}
