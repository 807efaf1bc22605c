#include "engine/RunJournal.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace zv {

namespace {

constexpr std::string_view kSuffix = ".journal";

// The number of an engine-made journal name, or -1.
long long NumberOf(const std::string& name) {
    if (name.size() <= kSuffix.size() || name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return -1;
    long long n = -1;
    auto [p, ec] = std::from_chars(name.data(), name.data() + name.size() - kSuffix.size(), n);
    return ec == std::errc() && p == name.data() + name.size() - kSuffix.size() ? n : -1;
}

}  // namespace

std::string NextJournalName(JournalStore& store) {
    long long highest = 0;
    for (const auto& n : store.List()) highest = std::max(highest, NumberOf(n));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%010lld", highest + 1);
    return buf + std::string(kSuffix);
}

bool RunJournal::Begin(const Journal& plan) {
    // Another process may take the same number at the same moment; the store
    // refuses a name that exists, so the next one is tried.
    for (int attempt = 0; attempt < 8 && !writer_; ++attempt) {
        name_ = NextJournalName(store_);
        writer_ = store_.Create(name_);
    }
    if (!writer_) return false;
    if (!writer_->Write(FormatJournalPlan(plan)) || !writer_->Sync()) {
        writer_.reset();
        store_.Remove(name_);
        return false;
    }
    Prune();
    return true;
}

void RunJournal::Mark(const std::string& line) {
    if (!writer_) return;
    writer_->Write(line);
    if (++unsynced_ >= kSyncEvery) Sync();
}

void RunJournal::Via(std::size_t row) { Mark(FormatViaMark(row)); }

void RunJournal::Done(std::size_t row, const FileIdentity* made) { Mark(FormatDoneMark(row, made)); }

void RunJournal::Sync() {
    if (!writer_) return;
    writer_->Sync();
    unsynced_ = 0;
}

void RunJournal::Close() {
    if (!writer_) return;
    writer_->Write("closed\n");
    writer_->Sync();
    unsynced_ = 0;
}

Journal PlanRun(FileSystem& files, const std::u16string& source, const std::u16string& destination,
                const std::vector<std::u16string>& from, const std::vector<std::u16string>& to, JournalOp op,
                bool setsTime, bool setsAttributes, const LocalDateTime& now,
                const std::vector<FileIdentity>* numbers) {
    Journal j;
    j.started = now;
    j.source = source;
    j.destination = destination;
    j.setsTime = setsTime;
    j.setsAttributes = setsAttributes;
    if (op == JournalOp::kMove) {
        const FileIdentity a = files.Identify(source, false), b = files.Identify(destination, false);
        if (a.exists && b.exists && a.device != b.device) op = JournalOp::kCross;
    }
    const std::size_t rows = std::min(from.size(), to.size());
    // A file renamed or moved within its volume, its stamps left alone, is
    // found again by its number alone; size and time matter only to a move
    // across volumes and to a run that changes the stamps.
    const bool numbersSuffice = numbers && numbers->size() >= rows && !setsTime && !setsAttributes &&
                                (op == JournalOp::kRename || op == JournalOp::kMove);
    j.rows.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        JournalRow& r = j.rows[i];
        r.op = op;
        r.from = from[i];
        r.to = to[i];
        r.before = numbersSuffice ? (*numbers)[i] : files.Identify(source + from[i], setsAttributes);
    }
    j.planned = true;
    return j;
}

void RunJournal::Complete() {
    if (!writer_) return;
    writer_->Write("complete\n");
    writer_->Sync();
    unsynced_ = 0;
}

// The oldest journals beyond the kept number go, except one that a run is
// still writing or one of a run that died and was never answered for.
void RunJournal::Prune() {
    std::vector<std::string> names = store_.List();
    if (names.size() <= kKept) return;
    for (std::size_t i = 0; i + kKept < names.size(); ++i) {
        if (names[i] == name_ || store_.InUse(names[i])) continue;
        if (auto text = store_.Read(names[i])) {
            auto j = ParseJournal(*text);
            if (j && j->planned && !j->complete && !j->closed && j->undoneBy.empty()) continue;
        }
        store_.Remove(names[i]);
    }
}

}  // namespace zv
