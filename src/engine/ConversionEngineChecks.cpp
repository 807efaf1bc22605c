// The checks that stand between the settings and any change on disk.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>

#include "ConversionEngine.h"
#include "EngineTexts.h"
#include "shared/CaseFold.h"
#include "shared/CodePage.h"
#include "shared/NameIndex.h"
#include "shared/NativeName.h"

namespace zv {

namespace {

// Tried in this order. The double quote comes last: no volume users carry
// between machines (FAT, exFAT, NTFS) can hold it in a name.
constexpr std::u16string_view kForbidden = u"\\/:,;*?<>|\"";

constexpr std::array<std::u16string_view, 7> kSystemExtensions = {u".EXE", u".DLL", u".SYS", u".COM",
                                                                  u".PWF", u".OCX", u".INI"};

constexpr std::array<const char*, 6> kTimeStampBoxes = {"Txt_YY", "Txt_MM", "Txt_DD",
                                                        "Txt_H",  "Txt_M",  "Txt_S"};

constexpr int kLongestStartNumber = 9;
constexpr int kLongestAnsiName = 254;

std::u16string Decimal(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string UpperAscii(std::u16string text) {
    for (char16_t& c : text) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return text;
}

}  // namespace

StepFlag ConversionEngine::CheckInputs() {
    auto& s = p_.settings;
    for (char16_t c : kForbidden) {
        p_.events.DoEvents();
        if (s.Text("Txt_B_text").find(c) != std::u16string::npos) {
            p_.messages.Show(texts::kForbiddenInFirst, kOkOnly, texts::kInputErrorTitle);
            s.SetFocus("Txt_B_text");
            return kStop;
        }
        if (s.Text("Txt_A_text").find(c) != std::u16string::npos) {
            p_.messages.Show(texts::kForbiddenInSecond, kOkOnly, texts::kInputErrorTitle);
            s.SetFocus("Txt_A_text");
            return kStop;
        }
    }

    // Control characters (NUL to U+001F, DEL), as Windows refuses them: a NUL
    // would end the name on any disk, and a TAB or line feed makes a name
    // the user can neither read in the lists nor type again.
    const auto isControl = [](char16_t c) { return c < u' ' || c == u'\x7f'; };
    for (const auto& [box, prompt] : {std::pair{"Txt_B_text", texts::kForbiddenInFirst},
                                      std::pair{"Txt_A_text", texts::kForbiddenInSecond}}) {
        const std::u16string text = s.Text(box);
        if (std::any_of(text.begin(), text.end(), isControl)) {
            p_.messages.Show(prompt, kOkOnly, texts::kInputErrorTitle);
            s.SetFocus(box);
            return kStop;
        }
    }

    if (s.Value("Chk_DateLock") == 1 && std::any_of(kTimeStampBoxes.begin(), kTimeStampBoxes.end(),
                                                    [&](const char* box) { return s.Text(box).empty(); })) {
        if (p_.messages.Show(texts::kTimeStampMissing, kOkCancel, texts::kInputErrorTitle) != kOk) {
            s.SetFocus("Txt_YY");
            return kStop;
        }
        const LocalDateTime now = p_.clock.Now();
        const std::array<int, 6> values = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        for (std::size_t i = 0; i < kTimeStampBoxes.size(); ++i)
            s.SetText(kTimeStampBoxes[i], Decimal(values[i]));
    }

    const std::u16string start = s.Text("Txt_Startnum");
    if (start.empty()) {
        p_.messages.Show(texts::kStartNumberEmpty, kOkOnly, texts::kInputErrorTitle);
        FocusIfVisible("Txt_Startnum");
        return kStop;
    }
    if (start.size() > kLongestStartNumber) {
        p_.messages.Show(texts::kStartNumberTooLong, kOkOnly, texts::kInputErrorTitle);
        FocusIfVisible("Txt_Startnum");
        return kStop;
    }

    if (s.Value("Chk_syori(0)") != 1) return kGoOn;
    if (s.Text("Txt_B_text").empty() && s.Text("Txt_A_text").empty()) {
        p_.messages.Show(texts::kFixedTextsEmpty, kOkOnly, texts::kInputErrorTitle);
        s.SetFocus("Txt_B_text");
        return kStop;
    }
    return kGoOn;
}

StepFlag ConversionEngine::CheckSystemFiles() {
    for (const auto& extension : table_.extension) {
        p_.events.DoEvents();
        const std::u16string upper = UpperAscii(extension);
        if (std::find(kSystemExtensions.begin(), kSystemExtensions.end(), upper) != kSystemExtensions.end()) {
            ShowMessage(texts::kSystemFile, texts::kSystemFileTitle);
            return kStop;
        }
    }
    return kGoOn;
}

// The code page limits keep names portable to the Japanese systems; the native
// limit keeps a real run from stopping half-way on a name this disk cannot hold.
// Every new name ends in its file's extension part, so a name no longer than
// that part has nothing before it: it is empty or a bare ".jpg".
StepFlag ConversionEngine::CheckNameLengths() {
    for (std::size_t r = 0; r < table_.newName.size(); ++r) {
        const std::u16string& name = table_.newName[r];
        if (AnsiByteCount(name) > kLongestAnsiName || NativeNameLength(name) > MaxNativeNameLength()) {
            ShowMessage(texts::kNameTooLong, texts::kNameTooLongTitle);
            return kStop;
        }
        if (name.size() <= table_.extension[r].size()) {
            ShowMessage(texts::kNameEmpty, texts::kNameEmptyTitle);
            return kStop;
        }
        // Where such a name hides the file, the file would vanish from both
        // lists and could not be renamed back here.
        if (NativeNameHidden(name)) {
            ShowMessage(texts::kNameHidden, texts::kNameHiddenTitle);
            return kStop;
        }
    }
    return kGoOn;
}

// A new name is refused when two rows would take it, or when something
// outside the job holds it in the destination folder, in every mode (a
// replace whose new name is taken would otherwise stop half done). Renaming
// in place, a name that a row of the job holds is no clash: either that row
// keeps it (then it is the row itself, unchanged, or two rows take one name)
// or it gives it up, and the executor runs it first.
StepFlag ConversionEngine::CheckDuplicateNames() {
    const std::unique_ptr<NameLookup> existing = p_.files.OpenNameLookup(p_.settings.Text("A_Dir"));
    const bool inPlace = table_.sourcePath == table_.destinationPath;
    const std::size_t rows = std::min(table_.selected.size(), table_.newName.size());
    // Folded current names of the job's rows; indexed only when a new name
    // is found on disk, so a job that hands on no names never needs it.
    std::vector<std::u16string> heldFolded;
    std::optional<NameIndex<char16_t>> heldByJob;
    table_.namesHandedOn = false;
    std::vector<std::u16string> newFolded;
    newFolded.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) newFolded.push_back(FoldCase(table_.newName[i]));
    const NameIndex<char16_t> newNames(newFolded);
    for (std::size_t i = 0; i < rows; ++i) {
        if (!CheckGoesOn(i, rows)) return CheckCancelled();
        const std::u16string& folded = newFolded[i];
        std::size_t outside = existing->CountFolded(folded);
        if (outside > 0 && inPlace) {
            if (!heldByJob) {
                heldFolded.reserve(rows);
                for (std::size_t j = 0; j < rows; ++j) heldFolded.push_back(FoldCase(table_.selected[j]));
                heldByJob.emplace(heldFolded);
            }
            if (const std::size_t held = heldByJob->Count(folded); held > 0) {
                outside -= std::min(outside, held);
                table_.namesHandedOn = true;
            }
        }
        // Two rows with one new name: refused at the second of them.
        if (outside > 0 || newNames.Find(folded) != i) {
            ShowMessage(texts::kDuplicate, texts::kDuplicateTitle);
            return kStop;
        }
    }
    return kGoOn;
}

// Another program may have changed the folder since it was listed: every
// selected name must still be a file or a symbolic link (a copy needs a link
// that leads to a file), and the destination must keep what the run sets,
// or nothing is done at all.
StepFlag ConversionEngine::CheckSelectedEntries(bool copy, bool withTime, bool withAttributes, int mask,
                                                std::vector<FileIdentity>* numbers) {
    VolumeAbilities volume;
    if (withTime || withAttributes) volume = p_.files.Abilities(table_.destinationPath);
    if (withAttributes && (mask & ~volume.fileAttributes) != 0) {
        ShowMessage(texts::kAttributesNotKept, texts::kAttributesTitle);
        return kStop;
    }
    const std::vector<EntryKind> kinds = p_.files.ExamineAll(table_.sourcePath, table_.selected, numbers);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (!CheckGoesOn(i, kinds.size())) return CheckCancelled();
        const std::u16string& name = table_.selected[i];
        const EntryKind kind = kinds[i];
        // A renamed or moved link stays a link; a copied one becomes a file.
        const bool staysLink = !copy && (kind == EntryKind::kLinkToFile || kind == EntryKind::kOtherLink);
        const char16_t* text = nullptr;
        const char16_t* title = texts::kSystemFileTitle;
        if (kind == EntryKind::kMissing) {
            text = texts::kMissingFile;
        } else if (kind != EntryKind::kFile && kind != EntryKind::kLinkToFile && !staysLink) {
            text = texts::kNotAFile;
        } else if (staysLink && withAttributes && !volume.linkAttributes) {
            text = texts::kLinkAttributes;
            title = texts::kAttributesTitle;
        } else if (staysLink && withTime && !volume.linkTime) {
            text = texts::kLinkTime;
            title = texts::kAttributesTitle;
        }
        if (text) {
            ShowMessage(name + u"\r\n" + text, title);
            return kStop;
        }
    }
    return kGoOn;
}

// The checks of a big job take a while: the window shows how far they are,
// and 中止 ends the run there, before any file is touched.
bool ConversionEngine::CheckGoesOn(std::size_t row, std::size_t rows) {
    p_.events.DoEvents();
    if (rows < kBigJob) return true;
    p_.progress.ShowProgress(row, rows, true);
    return !p_.progress.CancelRequested();
}

StepFlag ConversionEngine::CheckCancelled() {
    ShowMessage(texts::kCancelledBeforeWriting, texts::kCancelTitle);
    return kStop;
}

}  // namespace zv
