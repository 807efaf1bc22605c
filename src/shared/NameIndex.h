#pragma once
// An index over names held elsewhere (a vector the caller keeps alive): which
// place holds a name first, and how many places hold it. Runs and listings
// ask it once per file of folders with tens of thousands of files, so it is
// one open-addressed table of positions, at most half full, with no
// allocation per name.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zv {

template <typename Char>
class NameIndex {
  public:
    using View = std::basic_string_view<Char>;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit NameIndex(const std::vector<std::basic_string<Char>>& names) : names_(names) {
        std::size_t size = 16;
        while (size < names.size() * 2) size *= 2;
        mask_ = size - 1;
        slots_.assign(size, npos);
        counts_.assign(size, 0);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::size_t at = SlotOf(names[i]);
            if (slots_[at] == npos) slots_[at] = i;
            ++counts_[at];
        }
    }

    // The first place that holds the name, or npos.
    std::size_t Find(View name) const { return slots_[SlotOf(name)]; }
    // How many places hold the name.
    std::size_t Count(View name) const { return counts_[SlotOf(name)]; }

  private:
    std::size_t SlotOf(View name) const {
        std::size_t at = std::hash<View>()(name) & mask_;
        while (slots_[at] != npos && View(names_[slots_[at]]) != name) at = (at + 1) & mask_;
        return at;
    }

    const std::vector<std::basic_string<Char>>& names_;
    std::size_t mask_ = 0;
    std::vector<std::size_t> slots_;
    std::vector<std::size_t> counts_;
};

}  // namespace zv
