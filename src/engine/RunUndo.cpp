#include "engine/RunUndo.h"

#include <cstdio>

#include "engine/EngineTexts.h"
#include "engine/RenamePlan.h"
#include "engine/RunJournal.h"

namespace zv {

namespace {

std::u16string Count(std::size_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string DateText(const LocalDateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

// Whether the file now under a name is the one the journal recorded. A file
// system that reports no file numbers leaves only "something is there".
bool Holds(const FileIdentity& now, const FileIdentity& before) {
    if (before.device == 0 && before.file == 0) return now.exists;
    return now.SameFile(before);
}

bool StampsDiffer(const Journal& j, const FileIdentity& now, const FileIdentity& before) {
    return (j.setsTime && now.writeTime != before.writeTime) ||
           (j.setsAttributes && now.attributes != before.attributes);
}

}  // namespace

std::optional<Journal> RunUndo::Load(const std::string& name) {
    auto text = p_.journals.Read(name);
    if (!text) return std::nullopt;
    return ParseJournal(*text);
}

std::optional<std::string> RunUndo::LastRun() {
    const std::vector<std::string> names = p_.journals.List();
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        auto j = Load(*it);
        // A journal without its plan belongs to a run that touched nothing.
        if (!j || !j->planned) continue;
        if (j->kind == JournalKind::kRedo || !j->undoneBy.empty() || p_.journals.InUse(*it)) return std::nullopt;
        return *it;
    }
    return std::nullopt;
}

std::vector<RunUndo::Action> RunUndo::Analyse(const Journal& j) {
    std::vector<Action> actions;
    FileSystem& fs = p_.files;
    for (std::size_t k = j.rows.size(); k-- > 0;) {
        const JournalRow& r = j.rows[k];
        const std::u16string src = j.source + r.from, dst = j.destination + r.to;
        switch (r.op) {
            case JournalOp::kRename:
            case JournalOp::kMove:
                if (src == dst) {
                    const FileIdentity now = fs.Identify(src, j.setsAttributes);
                    if (Holds(now, r.before) && (r.done || StampsDiffer(j, now, r.before)))
                        actions.push_back({k, Step::kStampsOnly, src, src});
                } else if (Holds(fs.Identify(dst, false), r.before)) {
                    actions.push_back({k, Step::kRenameBack, dst, src});
                } else if (!r.via.empty() && Holds(fs.Identify(j.destination + r.via, false), r.before)) {
                    actions.push_back({k, Step::kRenameBack, j.destination + r.via, src, true});
                }
                break;
            case JournalOp::kCross: {
                const FileIdentity d = fs.Identify(dst, false);
                if (Holds(fs.Identify(src, false), r.before)) {
                    // Copied but the source not yet removed: the copy goes.
                    if (d.exists && (r.made ? d.SameFile(*r.made) : fs.SameContent(src, dst)))
                        actions.push_back({k, Step::kRemoveCopy, dst, src});
                } else if (d.exists && (r.made ? d.SameFile(*r.made) : d.size == r.before.size)) {
                    actions.push_back({k, Step::kRenameBack, dst, src});
                }
                break;
            }
            case JournalOp::kCopy: {
                const FileIdentity d = fs.Identify(dst, false);
                if (!d.exists) break;
                // Only the very file the run made: a copy changed since (or a
                // file put there by someone else) stays.
                const bool ours = r.made ? d.SameFile(*r.made) && d.size == r.made->size &&
                                               d.writeTime == r.made->writeTime
                                         : fs.SameContent(src, dst);
                if (ours) actions.push_back({k, Step::kRemoveCopy, dst, src});
                break;
            }
            case JournalOp::kUncopy:
                // The removed copy was "from"; its source is "to".
                if (!fs.Identify(src, false).exists && fs.Identify(dst, false).exists)
                    actions.push_back({k, Step::kRecopy, dst, src});
                break;
        }
    }
    return actions;
}

void RunUndo::RestoreStamps(const Journal& j, const JournalRow& row, const std::u16string& path,
                            std::vector<std::pair<std::u16string, int>>& refused) {
    // Time first: on some systems a read-only file's time cannot be set.
    if (j.setsTime) {
        FsResult t = p_.files.RestoreWriteTime(path, row.before.writeTime);
        if (!t.ok()) refused.emplace_back(path, t.code);
    }
    if (j.setsAttributes) {
        FsResult a = p_.files.SetAttributes(path, row.before.attributes);
        if (!a.ok()) refused.emplace_back(path, a.code);
    }
}

RunUndo::Outcome RunUndo::TakeBack(const std::string& name, const Journal& j, const std::vector<Action>& actions) {
    Outcome out;
    FileSystem& fs = p_.files;

    // Renames back are ordered like a run's: a name handed on from file to
    // file is freed before it is taken again, and a ring of names passes
    // through one temporary name.
    std::vector<std::u16string> renameFrom, renameTo;
    std::vector<std::size_t> renameAction;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (actions[i].step != Step::kRenameBack) continue;
        renameFrom.push_back(actions[i].at);
        renameTo.push_back(actions[i].back);
        renameAction.push_back(i);
    }
    const RenamePlan plan =
        PlanRenames(renameFrom, renameTo, [&](const std::u16string& path) { return fs.Identify(path, false).exists; });
    std::vector<std::u16string> via(actions.size());
    std::vector<RenameStep> order;  // row: the action
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (actions[i].step != Step::kRenameBack) order.push_back({i, RenameStep::kDirect});
    for (const RenameStep& step : plan.steps) {
        via[renameAction[step.row]] = plan.temporary[step.row];
        order.push_back({renameAction[step.row], step.kind});
    }

    // Its own journal first, written and synced before anything moves.
    Journal u;
    u.kind = j.kind == JournalKind::kRun ? JournalKind::kUndo : JournalKind::kRedo;
    u.started = p_.clock.Now();
    u.source = j.destination;
    u.destination = j.source;
    u.setsTime = j.setsTime;
    u.setsAttributes = j.setsAttributes;
    u.undoes = name;
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const Action& a = actions[i];
        const JournalRow& r = j.rows[a.row];
        JournalRow ur;
        ur.from = a.atVia ? r.via : r.to;
        ur.to = r.from;
        ur.via = via[i];
        ur.before = fs.Identify(a.at, j.setsAttributes);
        switch (a.step) {
            case Step::kRenameBack:
                ur.op = r.op;
                break;
            case Step::kStampsOnly:
                ur.op = JournalOp::kRename;
                break;
            case Step::kRemoveCopy:
                ur.op = JournalOp::kUncopy;
                break;
            case Step::kRecopy:
                ur.op = JournalOp::kCopy;
                break;
        }
        u.rows.push_back(std::move(ur));
    }
    RunJournal journal(p_.journals);
    if (!journal.Begin(u)) return out;
    out.started = true;

    p_.progress.Open();
    p_.progress.ShowProgress(0, actions.size(), false);
    std::size_t finished = 0;
    std::vector<bool> refused(actions.size());
    for (const RenameStep& step : order) {
        p_.events.DoEvents();
        const std::size_t i = step.row;
        if (refused[i]) continue;
        const Action& a = actions[i];
        const JournalRow& r = j.rows[a.row];
        const std::u16string temporary = TemporaryPath(a.back, via[i]);
        FsResult res;
        switch (a.step) {
            case Step::kRenameBack:
                res = fs.Rename(step.kind == RenameStep::kFromTemporary ? temporary : a.at,
                                step.kind == RenameStep::kToTemporary ? temporary : a.back);
                break;
            case Step::kRecopy:
                res = fs.Copy(a.at, a.back);
                break;
            case Step::kRemoveCopy:
                res = fs.RemoveFile(a.at);
                break;
            case Step::kStampsOnly:
                break;
        }
        if (!res.ok()) {
            refused[i] = true;
            out.refused.emplace_back(a.step == Step::kRemoveCopy ? a.at : a.back, res.code);
            continue;
        }
        if (step.kind == RenameStep::kToTemporary) {
            journal.Via(i);
            continue;
        }
        if (a.step != Step::kRemoveCopy) RestoreStamps(j, r, a.back, out.refused);
        const bool newFile = a.step == Step::kRecopy || (a.step == Step::kRenameBack && r.op == JournalOp::kCross);
        FileIdentity made;
        if (newFile) made = fs.Identify(a.back, j.setsAttributes);
        journal.Done(i, newFile ? &made : nullptr);
        ++out.restored;
        p_.progress.ShowProgress(++finished, actions.size(), false);
    }
    journal.Complete();
    p_.journals.Append(name, "undone " + journal.Name() + "\n");
    return out;
}

void RunUndo::Report(const Outcome& o, const std::u16string& title) {
    std::u16string text = Count(o.restored) + texts::kUndoDone;
    if (!o.refused.empty()) {
        text += u"\r\n";
        text += texts::kUndoRefused;
        constexpr std::size_t kListed = 10;
        for (std::size_t i = 0; i < o.refused.size() && i < kListed; ++i)
            text += u"\r\n" + o.refused[i].first + u"（" + FileErrorMessage(o.refused[i].second) + u"）";
        if (o.refused.size() > kListed) text += u"\r\nほか " + Count(o.refused.size() - kListed) + u" 個";
    }
    p_.messages.Show(text, kOkOnly, title);
}

bool RunUndo::UndoLast() {
    std::optional<std::string> name = LastRun();
    std::optional<Journal> j = name ? Load(*name) : std::nullopt;
    std::vector<Action> actions = j ? Analyse(*j) : std::vector<Action>{};
    if (actions.empty()) {
        p_.messages.Show(texts::kUndoNothing, kOkOnly, texts::kUndoTitle);
        return false;
    }
    if (p_.messages.Show(texts::kUndoQuestion + Count(actions.size()) + texts::kUndoQuestionCount, kYesNo,
                         texts::kUndoTitle) != kYes)
        return false;
    Outcome o = TakeBack(*name, *j, actions);
    p_.progress.Close();
    if (!o.started) {
        p_.messages.Show(texts::kJournalFailed, kOkOnly, texts::kFileErrorTitle);
        return false;
    }
    Report(o, texts::kUndoTitle);
    return true;
}

bool RunUndo::RecoverInterrupted() {
    bool changed = false;
    for (const std::string& name : p_.journals.List()) {
        if (p_.journals.InUse(name)) continue;
        std::optional<Journal> j = Load(name);
        if (!j || j->complete || j->closed || !j->undoneBy.empty()) continue;
        std::vector<Action> actions = j->planned ? Analyse(*j) : std::vector<Action>{};
        if (!actions.empty()) {
            std::u16string folder = j->source;
            if (j->destination != j->source) folder += u" → " + j->destination;
            const std::u16string question = texts::kRecoverInterrupted + DateText(j->started) + u"\r\n" +
                                            folder + u"\r\n" + Count(j->rows.size()) + u" 個中 " +
                                            Count(actions.size()) + texts::kRecoverQuestion;
            if (p_.messages.Show(question, kYesNo, texts::kRecoverTitle) == kYes) {
                Outcome o = TakeBack(name, *j, actions);
                p_.progress.Close();
                if (!o.started) {
                    // Left as it is, so the next start asks again.
                    p_.messages.Show(texts::kJournalFailed, kOkOnly, texts::kFileErrorTitle);
                    continue;
                }
                Report(o, texts::kRecoverTitle);
                changed = true;
            }
        }
        p_.journals.Append(name, "closed\n");
    }
    return changed;
}

}  // namespace zv
