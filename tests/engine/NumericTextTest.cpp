#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/NumericText.h"

namespace zv {
namespace {

struct PrefixCase {
    std::u16string text;
    double value;
};

class NumericPrefixTest : public testing::TestWithParam<PrefixCase> {};

TEST_P(NumericPrefixTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(ReadNumericPrefix(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericPrefixTest,
                         testing::Values(PrefixCase{u"", 0}, PrefixCase{u"abc", 0}, PrefixCase{u"12abc", 12},
                                         PrefixCase{u" 1 2 3 ", 123}, PrefixCase{u"-5", -5}, PrefixCase{u"3-4", 3},
                                         PrefixCase{u"1.2.3", 1.2}, PrefixCase{u"1e3", 1000},
                                         PrefixCase{u"1D2", 100}, PrefixCase{u"2e+", 2}, PrefixCase{u"１", 0}));

TEST(NumericPrefix, HugeExponentReadsAsInfinity) { EXPECT_TRUE(std::isinf(ReadNumericPrefix(u"9e999"))); }

struct RoundCase {
    double value;
    std::optional<std::int32_t> rounded;
};

class RoundToInt32Test : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundToInt32Test, RoundsTiesToEvenWithin32Bits) {
    EXPECT_EQ(RoundToInt32(GetParam().value), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundToInt32Test,
                         testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{-2.5, -2},
                                         RoundCase{2147483647.4, 2147483647},
                                         RoundCase{2147483647.5, std::nullopt},
                                         RoundCase{-2147483648.0, -2147483647 - 1},
                                         RoundCase{-2147483649.0, std::nullopt},
                                         RoundCase{std::numeric_limits<double>::quiet_NaN(), std::nullopt}));

}  // namespace
}  // namespace zv
