#include "engine/RenamePlan.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>

#include "shared/CaseFold.h"
#include "shared/FileSystem.h"

namespace zv {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

std::u16string Decimal(std::size_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

std::u16string TemporaryPath(const std::u16string& to, const std::u16string& temporary) {
    const std::size_t at = to.rfind(kPathSeparator);
    return (at == std::u16string::npos ? std::u16string() : to.substr(0, at + 1)) + temporary;
}

// Each row waits for the rows that hold its new name; each row's old name is
// taken by at most one row (next). Rows whose wait is over run in a queue;
// when the queue runs dry, every row left is on a ring, and the first of them
// steps aside, which ends the wait of the row that takes its name.
RenamePlan PlanRenames(const std::vector<std::u16string>& from, const std::vector<std::u16string>& to,
                       const std::function<bool(const std::u16string&)>& taken) {
    const std::size_t n = std::min(from.size(), to.size());
    RenamePlan plan;
    plan.temporary.resize(n);
    plan.steps.reserve(n);

    std::vector<bool> moves(n);
    std::unordered_map<std::u16string, std::size_t> takerOf(n * 2 + 1);  // folded new name -> row
    for (std::size_t i = 0; i < n; ++i) {
        moves[i] = from[i] != to[i];
        if (moves[i]) takerOf.emplace(FoldCase(to[i]), i);
    }
    std::vector<std::size_t> next(n, kNone);
    std::vector<std::size_t> waits(n, 0);
    for (std::size_t j = 0; j < n; ++j) {
        if (!moves[j]) continue;
        auto it = takerOf.find(FoldCase(from[j]));
        if (it == takerOf.end()) continue;
        next[j] = it->second;
        ++waits[it->second];
    }

    enum State : char { kPending, kAside, kDone };
    std::vector<State> state(n, kPending);
    std::vector<std::size_t> ready;
    ready.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        if (waits[i] == 0) ready.push_back(i);
    const auto release = [&](std::size_t row) {
        if (next[row] != kNone && --waits[next[row]] == 0) ready.push_back(next[row]);
    };

    std::size_t head = 0, cursor = 0, temporaries = 0;
    for (;;) {
        while (head < ready.size()) {
            const std::size_t i = ready[head++];
            const bool aside = state[i] == kAside;
            plan.steps.push_back({i, aside ? RenameStep::kFromTemporary : RenameStep::kDirect});
            state[i] = kDone;
            if (moves[i] && !aside) release(i);
        }
        while (cursor < n && state[cursor] != kPending) ++cursor;
        if (cursor == n) break;
        std::u16string name;
        do {
            name = kTemporaryPrefix + Decimal(++temporaries);
        } while (takerOf.count(FoldCase(name)) || taken(TemporaryPath(to[cursor], name)));
        plan.temporary[cursor] = std::move(name);
        plan.steps.push_back({cursor, RenameStep::kToTemporary});
        state[cursor] = kAside;
        release(cursor);
    }
    // Rows only a job of contradictory rows leaves waiting still end under
    // their new names (the rename then reports the name as taken).
    for (std::size_t i = 0; i < n; ++i)
        if (state[i] == kAside) plan.steps.push_back({i, RenameStep::kFromTemporary});
    return plan;
}

}  // namespace zv
