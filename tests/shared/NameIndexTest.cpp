#include <gtest/gtest.h>

#include "shared/NameIndex.h"

namespace zv {
namespace {

TEST(NameIndex, FindsTheFirstPlaceAndCountsEveryPlace) {
    std::vector<std::u16string> names = {u"b", u"", u"a", u"b", u"写真", u"b"};
    for (int i = 0; i < 2000; ++i)
        names.push_back(u"n" + std::u16string(1, char16_t(u'0' + i % 10)) +
                        std::u16string(static_cast<std::size_t>(i / 10), u'x'));
    const NameIndex<char16_t> index(names);
    // clang-format off
    const struct {
        std::u16string name;
        std::size_t first, count;
    } cases[] = {{u"b", 0, 3},  {u"", 1, 1},  {u"a", 2, 1}, {u"写真", 4, 1}, {u"B", NameIndex<char16_t>::npos, 0},
                 {u"n7", 13, 1}, {u"n9xxx", 6 + 39, 1}, {u"n", NameIndex<char16_t>::npos, 0}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(index.Find(c.name), c.first);
        EXPECT_EQ(index.Count(c.name), c.count);
    }
    EXPECT_EQ(NameIndex<char16_t>({}).Find(u"a"), NameIndex<char16_t>::npos);
}

}  // namespace
}  // namespace zv
