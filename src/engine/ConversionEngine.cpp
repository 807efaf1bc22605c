// The pipeline, the test run and the table building.
#include "ConversionEngine.h"

#include "EngineTexts.h"
#include "NameText.h"

namespace zv {

void ConversionEngine::ShowMessage(const std::u16string& prompt, const std::u16string& title) {
    p_.messages.Show(prompt, kOkOnly, title);
}

void ConversionEngine::FocusIfVisible(std::string_view control) {
    if (p_.settings.IsVisible(control)) p_.settings.SetFocus(control);
}

StepFlag ConversionEngine::RunConversion() {
    p_.progress.Open();
    p_.view.ClearResults();
    p_.progress.SetPhase(texts::kPhaseChecking);

    const auto stop = [this] {
        p_.progress.Close();
        return kStop;
    };

    if (CheckInputs() == kStop) return stop();
    BuildConversionTable();
    if (CheckSystemFiles() == kStop) return stop();

    p_.progress.SetPhase(texts::kPhaseConverting);
    if (p_.settings.Value("Chk_syori(0)") == 0 && p_.settings.Value("Chk_syori(1)") == 0) {
        if (MakeNumberedNames() == kStop) return stop();
    } else if (p_.settings.Value("Chk_syori(0)") == 1) {
        MakeFixedStringNames();
    } else {
        MakeReplacedNames();
    }

    p_.progress.SetPhase(texts::kPhaseChecking);
    if (CheckNameLengths() == kStop) return stop();
    if (CheckDuplicateNames() == kStop) return stop();
    return kGoOn;
}

StepFlag ConversionEngine::TestRun() {
    RunScope scope(running_);
    if (!scope.Entered()) return kStop;

    const StepFlag flag = RunConversion();
    if (flag == kGoOn) {
        for (const auto& name : table_.newName) {
            p_.events.DoEvents();
            p_.view.AddResult(name);
        }
        p_.view.RefreshResults();
        p_.progress.Close();
    }
    return flag;
}

void ConversionEngine::BuildConversionTable() {
    table_.ClearColumns();
    table_.sourcePath = WithTrailingSeparator(p_.settings.Text("F_Dir"));
    table_.destinationPath = WithTrailingSeparator(p_.settings.Text("A_Dir"));

    const int count = p_.settings.FileCount();
    for (int i = 0; i < count; ++i) {
        p_.events.DoEvents();
        if (!p_.settings.FileSelected(i)) continue;
        std::u16string name = p_.settings.FileName(i);
        NameParts parts = SplitName(name);
        table_.selected.push_back(std::move(name));
        table_.base.push_back(std::move(parts.base));
        table_.extension.push_back(std::move(parts.extension));
    }
}

}  // namespace zv
