// jobrun < job.json > result.json: runs one rename job, described in JSON,
// through the engine exactly as the main window's buttons do, and prints in
// JSON what the user would have seen. The acceptance tests drive the engine
// through it. The job:
//   "source", "destination" (default: the source), "files" (default: the
//   source's files), "selected" (rows, or "all"), "controls" ({name: a text,
//   0/1 for a check box, true/false for an option, or an array of those for a
//   control array}), "answers" (the buttons pressed, in order), "now"
//   (YYYY-MM-DDTHH:MM:SS), "run" ("test", "real", "undo" or "recover").
// Exit status: 0 the job ran, 2 the input is not a job (one line on the error
// stream), 1 anything else went wrong.
#include <cstdio>
#include <deque>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ConversionEngine.h"
#include "shared/NativeName.h"

namespace zv {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr int kChecked = 1, kChosen = -1;

// Input that is not a job.
using JobError = std::runtime_error;

const char* const kTimeStampBoxes[] = {"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"};

const std::set<std::string, std::less<>> kNumberingGroup = {
    "Chk_keta_lock", "Opt_Han", "Opt_Zen",       "Label4", "Lbl_keta",    "UpDown_Keta",
    "Label5",        "Lbl_up",  "UpDown_Zoubun", "Label6", "Txt_Startnum"};

OrderedJson Names(const std::vector<std::u16string>& names) {
    OrderedJson a = OrderedJson::array();
    for (const auto& n : names) a.push_back(ToUtf8(n));
    return a;
}

// The main window as the job sets it up: its controls (missing ones keep the
// values the window starts with), its message boxes answered from the job,
// its progress window and its result list, all recorded.
class JobWindow final : public JobSettings, public MessageBoxService, public ProgressWindow, public RunView {
  public:
    explicit JobWindow(const LocalDateTime& now, std::deque<int> answers) : answers_(std::move(answers)) {
        // clang-format off
        texts_ = {{"Txt_B_text", u""}, {"Txt_A_text", u""}, {"Txt_Startnum", u"1"}, {"Lbl_up", u"1"}, {"Lbl_keta", u"1"}};
        // clang-format on
        // At start-up the time-stamp boxes show the present date and time.
        const int fill[] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        for (int i = 0; i < 6; ++i) texts_[kTimeStampBoxes[i]] = FromUtf8(std::to_string(fill[i]));
        values_ = {{"Chk_syori(0)", 0},   {"Chk_syori(1)", 0},   {"Chk_keta_lock", kChecked},
                   {"Opt_Han", kChosen},  {"Opt_Zen", 0},        {"Opt_Cpymov(0)", kChosen},
                   {"Opt_Cpymov(1)", 0},  {"Chk_DateLock", 0},   {"Chk_Attrib", 0},
                   {"Chk_Att_Set(0)", 0}, {"Chk_Att_Set(1)", 0}, {"Chk_Att_Set(2)", 0},
                   {"Chk_Att_Set(3)", 0}};
    }

    // One control of the job; an array sets the control array name(0), name(1)...
    void Set(const std::string& name, const Json& v) {
        if (v.is_array()) {
            for (std::size_t i = 0; i < v.size(); ++i) Set(name + "(" + std::to_string(i) + ")", v[i]);
        } else if (texts_.count(name)) {
            texts_[name] = FromUtf8(v.get<std::string>());
        } else if (values_.count(name)) {
            const int on = name.starts_with("Opt_") ? kChosen : kChecked;
            const int value = v.is_boolean() ? (v.get<bool>() ? on : 0) : v.get<int>();
            if (value != 0 && value != on)
                throw JobError("control \"" + name + "\" takes 0 or " + std::to_string(on));
            values_[name] = value;
            // The two width options are one choice.
            if (name == "Opt_Han" || name == "Opt_Zen")
                values_[name == "Opt_Han" ? "Opt_Zen" : "Opt_Han"] = on - value;
        } else {
            throw JobError("unknown control \"" + name + "\"");
        }
    }

    std::u16string Text(std::string_view control) const override {
        auto it = texts_.find(control);
        return it == texts_.end() ? std::u16string() : it->second;
    }
    void SetText(std::string_view control, const std::u16string& text) override {
        texts_[std::string(control)] = text;
    }
    int Value(std::string_view control) const override {
        auto it = values_.find(control);
        return it == values_.end() ? 0 : it->second;
    }
    void SetFocus(std::string_view control) override { focus = std::string(control); }
    // The mode selector hides the numbering group outside numbering mode.
    bool IsVisible(std::string_view control) const override {
        const bool numbering = Value("Chk_syori(0)") != kChecked && Value("Chk_syori(1)") != kChecked;
        return numbering || !kNumberingGroup.count(control);
    }
    int FileCount() const override { return static_cast<int>(rows.size()); }
    std::u16string FileName(int index) const override {
        return rows.at(static_cast<std::size_t>(index)).first;
    }
    bool FileSelected(int index) const override { return rows.at(static_cast<std::size_t>(index)).second; }

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        int answer = buttons == kYesNo ? kYes : kOk;
        if (buttons != kOkOnly && !answers_.empty()) answer = answers_.front(), answers_.pop_front();
        messages.push_back(
            {{"text", ToUtf8(prompt)}, {"title", ToUtf8(title)}, {"buttons", buttons}, {"answer", answer}});
        return answer;
    }

    void Open() override { open_ = true; }
    void SetPhase(const std::u16string& phase) override { phases.push_back(phase); }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }

    void ClearResults() override { results.clear(); }
    void AddResult(const std::u16string& name) override { results.push_back(name); }
    void RefreshResults() override {}
    bool RefreshFileList() override { return true; }
    void DisableConversion() override { disabled = true; }

    std::vector<std::pair<std::u16string, bool>> rows;
    std::optional<std::string> focus;
    OrderedJson messages = OrderedJson::array();
    std::vector<std::u16string> phases, results;
    bool disabled = false;

  private:
    std::map<std::string, std::u16string, std::less<>> texts_;
    std::map<std::string, int, std::less<>> values_;
    std::deque<int> answers_;
    bool open_ = false;
};

std::u16string Path(const Json& job, const char* key) {
    const std::string s = job.at(key).get<std::string>();
    if (s.empty()) throw JobError(std::string("\"") + key + "\" is empty");
    return FromNative(s);
}

}  // namespace
}  // namespace zv

int main() {
    using namespace zv;
    std::string run;
    std::optional<FixedClock> fixed;
    std::unique_ptr<JobWindow> window;
    try {
        const Json root = Json::parse(std::cin);
        if (!root.is_object()) throw JobError("the job is not a JSON object");
        const std::set<std::string> keys = {"source",   "destination", "files", "selected",
                                            "controls", "answers",     "now",   "run"};
        for (const auto& [key, value] : root.items())
            if (!keys.count(key)) throw JobError("unknown key \"" + key + "\"");
        run = root.value("run", "test");
        if (run != "test" && run != "real" && run != "undo" && run != "recover")
            throw JobError("\"run\" is not \"test\", \"real\", \"undo\" or \"recover\"");
        if (root.contains("now")) {
            LocalDateTime t;
            const std::string now = root["now"].get<std::string>();
            if (now.size() != 19 || std::sscanf(now.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &t.year, &t.month,
                                                &t.day, &t.hour, &t.minute, &t.second) != 6)
                throw JobError("\"now\" is not a date and time YYYY-MM-DDTHH:MM:SS: " + now);
            fixed.emplace(t);
        }
        std::deque<int> answers;
        for (const auto& a : root.value("answers", Json::array())) {
            if (a != kOk && a != kCancel && a != kYes && a != kNo)
                throw JobError("answer " + a.dump() + " is not a button");
            answers.push_back(a.get<int>());
        }
        window = std::make_unique<JobWindow>(fixed ? fixed->Now() : SystemClock().Now(), answers);

        // Undo and recovery work from the journals alone; a source is optional.
        if (run == "test" || run == "real" || root.contains("source")) {
            const std::u16string source = Path(root, "source");
            if (!NativeFileSystem().FolderExists(source))
                throw JobError("source folder not found: " + ToUtf8(source));
            window->SetText("F_Dir", source);
            window->SetText("A_Dir", root.contains("destination") ? Path(root, "destination") : source);
            std::vector<std::u16string> files;
            if (!root.contains("files")) files = NativeFileSystem().ListFiles(source);
            for (const auto& f : root.value("files", Json::array()))
                files.push_back(FromNative(f.get<std::string>()));
            if (files.size() > static_cast<std::size_t>(kMaxRows))
                throw JobError("a job holds at most " + std::to_string(kMaxRows) + " files");
            const Json selected = root.value("selected", Json("all"));
            for (const auto& f : files) window->rows.push_back({f, selected == "all"});
            if (selected != "all")
                for (const auto& row : selected) window->rows.at(row.get<std::size_t>()).second = true;
        }
        const Json controls = root.value("controls", Json::object());
        for (const auto& [name, value] : controls.items()) window->Set(name, value);
    } catch (const std::exception& e) {
        // JSON that does not parse, a value of the wrong type, a row past the end...
        const std::string what = e.what();
        std::cerr << "jobrun: " << what.substr(0, what.find('\n')) << "\n";
        return 2;
    }
    try {
        JobWindow& w = *window;
        Clock& clock = fixed ? static_cast<Clock&>(*fixed) : SystemClock();
        NullEventPump events;
        // Real runs keep their journals where ZVNUM keeps them.
        ConversionEngine engine({w, w, events, clock, NativeFileSystem(), w, w, &NativeJournalStore()});
        StepFlag flag = kStop;
        if (run == "real")
            flag = engine.RealRun();
        else if (run == "test")
            flag = engine.TestRun();
        else  // undo, recover: -1 when files changed
            flag = (run == "undo" ? engine.UndoLastRun() : engine.RecoverInterruptedRuns()) ? kGoOn : kStop;

        const ConversionTable& t = engine.Table();
        OrderedJson result;
        result["flag"] = flag;
        result["messages"] = w.messages;
        result["focus"] = w.focus ? OrderedJson(*w.focus) : OrderedJson(nullptr);
        result["phases"] = Names(w.phases);
        result["table"] = {
            {"Lbl_TestPath1", ToUtf8(t.sourcePath)}, {"Lbl_TestPath2", ToUtf8(t.destinationPath)},
            {"Lst_Test1", Names(t.selected)},        {"Lst_Test2", Names(t.base)},
            {"Lst_Test3", Names(t.extension)},       {"Lst_Test4", Names(t.newName)}};
        result["Lst_Kekka"] = Names(w.results);
        for (const char* box : kTimeStampBoxes) result["controls"][box] = ToUtf8(w.Text(box));
        result["progressOpen"] = w.IsOpen();
        result["conversionDisabled"] = w.disabled;
        std::cout << result.dump(1) << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "jobrun: failed: " << e.what() << "\n";
        return 1;
    }
}
