// The real run: the question, the pipeline, then the conversion table carried
// out on disk row by row, stopping at the first failure with its message.
#include <algorithm>
#include <exception>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/ConversionEngine.h"
#include "engine/EngineTexts.h"
#include "engine/RenamePlan.h"
#include "engine/RunJournal.h"
#include "engine/RunUndo.h"

namespace zv {

namespace {

using texts::kFileErrorTitle;

std::u16string Count(std::size_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

std::u16string FileErrorMessage(int code) {
    switch (code) {
        case kFsAlreadyExists:
            return u"同名のファイル名がすでに存在します。";
        case kFsDiskFull:
            return u"ディスクの容量不足です。";
        case kFsTooManyFiles:
            return u"ファイルが多すぎます。";
        case kFsDeviceUnavailable:
            return u"デバイスが準備されていません。";
        case kFsPermissionDenied:
            return u"書き込みができません。";
        case kFsDiskNotReady:
            return u"ディスクの準備ができていません。";
        default:
            return u"書き込みに失敗しました。";
    }
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\u3000'; }

// 0..9 for a half- or full-width digit, -1 otherwise.
int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'\uFF10' && c <= u'\uFF19') return c - u'\uFF10';
    return -1;
}

// A time-stamp box as a 16-bit integer, read the way such boxes always were:
// blanks around the number ignored, an optional sign, digits with an optional
// fraction that is rounded half to even. Anything else, and anything outside
// -32768..32767 after rounding, is no number.
std::optional<int> ToInteger16(std::u16string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    std::size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

    long magnitude = 0;
    int digits = 0;
    for (; i < end && DigitValue(text[i]) >= 0; ++i, ++digits) {
        // Saturate: anything this large is out of range anyway.
        if (magnitude < 1000000) magnitude = magnitude * 10 + DigitValue(text[i]);
    }
    int firstFraction = 0;
    bool restNonZero = false;
    if (i < end && (text[i] == u'.' || text[i] == u'\uFF0E')) {
        ++i;
        for (int place = 0; i < end && DigitValue(text[i]) >= 0; ++i, ++place, ++digits) {
            if (place == 0)
                firstFraction = DigitValue(text[i]);
            else if (DigitValue(text[i]) != 0)
                restNonZero = true;
        }
    }
    if (digits == 0 || i != end) return std::nullopt;
    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || magnitude % 2 == 1))) ++magnitude;
    long value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

StepFlag ConversionEngine::RealRun() {
    RunScope scope(running_);
    if (!scope.Entered()) return kStop;
    if (p_.messages.Show(u"変換処理を開始しますか？", kYesNo, u"開始") != kYes) return kStop;
    if (RunConversion() != kGoOn) return kStop;
    // The progress window goes whatever the executor's outcome.
    struct CloseOnExit {
        ProgressWindow& window;
        ~CloseOnExit() { window.Close(); }
    } closer{p_.progress};
    p_.progress.SetPhase(u"書き込み中");
    return ExecuteConversion();
}

StepFlag ConversionEngine::ExecuteConversion() {
    std::optional<RunJournal> journal;
    auto fail = [&](int code, const std::u16string& name = {}) {
        if (journal) journal->Close();
        // Another program put something other than a file under the name
        // during the run: the same refusal as before the run.
        if (code == kFsNotAFile)
            p_.messages.Show(name + u"\r\n" + texts::kNotAFile, kOkOnly, texts::kSystemFileTitle);
        else
            p_.messages.Show(FileErrorMessage(code), kOkOnly, kFileErrorTitle);
        return kStop;
    };
    try {
        JobSettings& s = p_.settings;

        const bool withAttributes = s.Value("Chk_Attrib") == 1;
        int mask = 0;
        if (withAttributes) {
            static constexpr struct {
                std::string_view box;
                int bit;
            } kAttributeBoxes[] = {{"Chk_Att_Set(0)", kAttrReadOnly},
                                   {"Chk_Att_Set(1)", kAttrHidden},
                                   {"Chk_Att_Set(2)", kAttrSystem},
                                   {"Chk_Att_Set(3)", kAttrArchive}};
            for (const auto& b : kAttributeBoxes)
                if (s.Value(b.box) == 1) mask += b.bit;
        }

        // One time stamp for the whole run, read before any file is touched,
        // so a box that holds no number stops the run with nothing done.
        const bool withTime = s.Value("Chk_DateLock") == 1;
        LocalDateTime stamp;
        if (withTime) {
            const std::pair<std::string_view, int*> boxes[] = {
                {"Txt_YY", &stamp.year}, {"Txt_MM", &stamp.month}, {"Txt_DD", &stamp.day},
                {"Txt_H", &stamp.hour},  {"Txt_M", &stamp.minute}, {"Txt_S", &stamp.second}};
            for (const auto& [box, field] : boxes) {
                std::optional<int> value = ToInteger16(s.Text(box));
                if (!value) return fail(kFsGeneric);
                *field = *value;
            }
        }

        const bool inPlace = table_.sourcePath == table_.destinationPath;
        const bool copy = !inPlace && s.Value("Opt_Cpymov(0)") != 0;

        // The journal of a rename or move that leaves the stamps alone takes
        // the files' numbers from this last look at the folder.
        std::vector<FileIdentity> numbers;
        const bool numbersSuffice = p_.journals && !copy && !withTime && !withAttributes;
        if (CheckSelectedEntries(copy, withTime, withAttributes, mask, numbersSuffice ? &numbers : nullptr) == kStop)
            return kStop;
        // What an interrupted copy of an earlier run left there goes first.
        if (!inPlace) p_.files.RemoveStaleTemporaries(table_.destinationPath);

        const std::size_t rows = std::min(table_.selected.size(), table_.newName.size());
        // In place, files may hand their names on to one another: the plan
        // orders the renames so each name is free when it is taken.
        RenamePlan plan;
        if (inPlace && table_.namesHandedOn) {
            std::unique_ptr<NameLookup> onDisk;
            plan = PlanRenames(table_.selected, table_.newName, [&](const std::u16string& name) {
                if (!onDisk) onDisk = p_.files.OpenNameLookup(table_.destinationPath);
                return onDisk->Exists(name);
            });
        } else {
            plan.temporary.resize(rows);
            for (std::size_t i = 0; i < rows; ++i) plan.steps.push_back({i, RenameStep::kDirect});
        }
        // The plan goes to disk before the first file is touched.
        if (p_.journals) {
            journal.emplace(*p_.journals);
            const JournalOp op = inPlace ? JournalOp::kRename : copy ? JournalOp::kCopy : JournalOp::kMove;
            Journal planned = PlanRun(p_.files, table_.sourcePath, table_.destinationPath, table_.selected,
                                      table_.newName, op, withTime, withAttributes, p_.clock.Now(),
                                      numbersSuffice ? &numbers : nullptr);
            for (std::size_t i = 0; i < rows; ++i) planned.rows[i].via = plan.temporary[i];
            if (!journal->Begin(planned)) {
                journal.reset();
                p_.messages.Show(texts::kJournalFailed, kOkOnly, kFileErrorTitle);
                return kStop;
            }
        }
        p_.progress.ShowProgress(0, rows, true);
        std::size_t done = 0, aside = 0;
        std::u16string from, to;  // kept across rows: thousands of paths, one buffer each
        for (const RenameStep& step : plan.steps) {
            p_.events.DoEvents();
            // 中止 stops between two rows, never while a file is under its
            // temporary name: the rows done stay done and can be taken back.
            if (aside == 0 && p_.progress.CancelRequested()) {
                if (journal) journal->Close();
                p_.view.RefreshFileList();
                p_.view.DisableConversion();
                p_.messages.Show(texts::kCancelled + Count(done) + texts::kCancelledCount, kOkOnly,
                                 texts::kCancelTitle);
                return kStop;
            }
            const std::size_t i = step.row;
            // A temporary name lives in the destination folder.
            if (step.kind == RenameStep::kFromTemporary)
                from.assign(table_.destinationPath).append(plan.temporary[i]);
            else
                from.assign(table_.sourcePath).append(table_.selected[i]);
            to.assign(table_.destinationPath)
                .append(step.kind == RenameStep::kToTemporary ? plan.temporary[i] : table_.newName[i]);
            // A name that stays as it is is no clash with itself: the file is
            // already where it belongs and only takes the time stamp and
            // attributes.
            if (from != to) {
                FsResult moved = copy ? p_.files.Copy(from, to) : p_.files.Rename(from, to);
                if (!moved.ok()) return fail(moved.code, table_.selected[i]);
            }
            if (step.kind == RenameStep::kToTemporary) {
                if (journal) journal->Via(i);
                ++aside;
                continue;
            }
            if (step.kind == RenameStep::kFromTemporary) --aside;
            // A file whose time cannot be set keeps its time; the run goes on.
            if (withTime) p_.files.SetLastWriteTime(to, stamp);
            if (withAttributes) {
                FsResult set = p_.files.SetAttributes(to, mask);
                if (!set.ok()) return fail(set.code, table_.newName[i]);
            }
            if (journal) {
                // A copy is a new file: its identity tells undo that the copy
                // is still the one this run made.
                if (copy || !inPlace) {
                    const FileIdentity made = p_.files.Identify(to, withAttributes);
                    journal->Done(i, &made);
                } else {
                    journal->Done(i);
                }
            }
            p_.progress.ShowProgress(++done, rows, true);
        }
        if (journal) journal->Complete();

        if (!p_.view.RefreshFileList()) return fail(kFsGeneric);
        p_.view.DisableConversion();
        p_.view.ClearResults();
        return kGoOn;
    } catch (const std::exception&) {
        return fail(kFsGeneric);
    }
}

bool ConversionEngine::UndoLastRun() { return TakeBack(&RunUndo::UndoLast); }

bool ConversionEngine::RecoverInterruptedRuns() { return TakeBack(&RunUndo::RecoverInterrupted); }

// Undo and recovery are runs too: none starts inside another, and the file
// list shows what they changed.
bool ConversionEngine::TakeBack(bool (RunUndo::*step)()) {
    RunScope scope(running_);
    if (!scope.Entered() || !p_.journals) return false;
    RunUndo undo({p_.files, *p_.journals, p_.messages, p_.events, p_.progress, p_.clock});
    if (!(undo.*step)()) return false;
    p_.view.RefreshFileList();
    p_.view.DisableConversion();
    return true;
}

bool ConversionEngine::CanUndo() {
    if (!p_.journals) return false;
    return RunUndo({p_.files, *p_.journals, p_.messages, p_.events, p_.progress, p_.clock}).LastRun().has_value();
}

}  // namespace zv
