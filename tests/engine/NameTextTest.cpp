// How a name splits into base and extension parts, and how the number boxes
// are read.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/NameText.h"
#include "engine/NumericText.h"

namespace zv {
namespace {

TEST(NameText, SplitName) {
    const struct {
        std::u16string name, base, extension;
    } cases[] = {
        {u"archive.tar.gz", u"archive.tar", u".gz"},
        {u"x.y.z", u"x", u".y.z"},
        {u"a.c", u"a", u".c"},
        {u".abc", u"", u".abc"},
        {u".profile", u".profile", u""},
        {u"photo.", u"photo", u"."},
        {u"写真．jpg", u"写真．jpg", u""},
        {u"x\U0001F600.jpeg", u"x\U0001F600", u".jpeg"},
    };
    for (const auto& c : cases) {
        const NameParts parts = SplitName(c.name);
        EXPECT_EQ(parts.base + u"|" + parts.extension, c.base + u"|" + c.extension);
    }
}

TEST(NumericText, ReadsTheLeadingNumber) {
    const std::pair<std::u16string, double> cases[] = {
        {u"", 0},        {u"abc", 0},    {u"10abc", 10}, {u" 1 2 3 ", 123}, {u"-5", -5}, {u"3-4", 3},
        {u"1.2.3", 1.2}, {u"1e3", 1000}, {u"1D2", 100},  {u"2e+", 2},       {u"１", 0},
    };
    for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(ReadNumericPrefix(text), value);
    EXPECT_TRUE(std::isinf(ReadNumericPrefix(u"9e999")));
}

TEST(NumericText, RoundsTiesToEvenWithin32Bits) {
    const std::pair<double, std::optional<std::int32_t>> cases[] = {
        {0.5, 0},
        {1.5, 2},
        {-2.5, -2},
        {2147483647.4, 2147483647},
        {2147483647.5, std::nullopt},
        {-2147483648.0, -2147483647 - 1},
        {-2147483649.0, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundToInt32(value), rounded) << value;
}

}  // namespace
}  // namespace zv
