#include "JobRun.h"

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

namespace zv::jobrun {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr int kChecked = 1;
constexpr int kChosen = -1;

// Input that is not a job. Its text is the one line jobrun prints.
struct JobError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Kind { kText, kCheck, kOption };

struct ControlSpec {
    Kind kind;
    int count;  // 0: a single control, else the size of the control array
};

const std::map<std::string, ControlSpec, std::less<>>& ControlSpecs() {
    static const std::map<std::string, ControlSpec, std::less<>> specs = {
        {"Chk_syori", {Kind::kCheck, 2}},     {"Txt_B_text", {Kind::kText, 0}},
        {"Txt_A_text", {Kind::kText, 0}},     {"Txt_Startnum", {Kind::kText, 0}},
        {"Lbl_up", {Kind::kText, 0}},         {"Lbl_keta", {Kind::kText, 0}},
        {"Chk_keta_lock", {Kind::kCheck, 0}}, {"Opt_Han", {Kind::kOption, 0}},
        {"Opt_Zen", {Kind::kOption, 0}},      {"Opt_Cpymov", {Kind::kOption, 2}},
        {"Chk_DateLock", {Kind::kCheck, 0}},  {"Txt_YY", {Kind::kText, 0}},
        {"Txt_MM", {Kind::kText, 0}},         {"Txt_DD", {Kind::kText, 0}},
        {"Txt_H", {Kind::kText, 0}},          {"Txt_M", {Kind::kText, 0}},
        {"Txt_S", {Kind::kText, 0}},          {"Chk_Attrib", {Kind::kCheck, 0}},
        {"Chk_Att_Set", {Kind::kCheck, 4}},
    };
    return specs;
}

const std::vector<std::string> kTimeStampBoxes = {"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"};

const std::set<std::string, std::less<>> kNumberingGroup = {
    "Chk_keta_lock", "Opt_Han", "Opt_Zen",       "Label4", "Lbl_keta",    "UpDown_Keta",
    "Label5",        "Lbl_up",  "UpDown_Zoubun", "Label6", "Txt_Startnum"};

std::u16string Decimal(int n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

// The main window's controls as the job describes them; missing ones keep
// the values the window starts with.
class JobControls final : public JobSettings {
  public:
    struct Row {
        std::u16string name;
        bool selected;
    };

    explicit JobControls(const LocalDateTime& now) {
        texts_ = {{"Txt_B_text", u""},
                  {"Txt_A_text", u""},
                  {"Txt_Startnum", u"1"},
                  {"Lbl_up", u"1"},
                  {"Lbl_keta", u"1"}};
        // At start-up the time-stamp boxes show the present date and time.
        const int fill[] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        for (std::size_t i = 0; i < kTimeStampBoxes.size(); ++i)
            texts_[kTimeStampBoxes[i]] = Decimal(fill[i]);
        values_ = {{"Chk_syori(0)", 0},   {"Chk_syori(1)", 0},   {"Chk_keta_lock", kChecked},
                   {"Opt_Han", kChosen},  {"Opt_Zen", 0},        {"Opt_Cpymov(0)", kChosen},
                   {"Opt_Cpymov(1)", 0},  {"Chk_DateLock", 0},   {"Chk_Attrib", 0},
                   {"Chk_Att_Set(0)", 0}, {"Chk_Att_Set(1)", 0}, {"Chk_Att_Set(2)", 0},
                   {"Chk_Att_Set(3)", 0}};
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
    void SetValue(const std::string& control, int value) { values_[control] = value; }

    void SetFocus(std::string_view control) override { focus_ = std::string(control); }
    // The mode selector hides the numbering group outside numbering mode.
    bool IsVisible(std::string_view control) const override {
        const bool numbering = Value("Chk_syori(0)") != kChecked && Value("Chk_syori(1)") != kChecked;
        return numbering || !kNumberingGroup.count(control);
    }

    int FileCount() const override { return static_cast<int>(rows.size()); }
    std::u16string FileName(int index) const override {
        return rows.at(static_cast<std::size_t>(index)).name;
    }
    bool FileSelected(int index) const override { return rows.at(static_cast<std::size_t>(index)).selected; }

    const std::optional<std::string>& Focus() const { return focus_; }

    std::vector<Row> rows;

  private:
    std::map<std::string, std::u16string, std::less<>> texts_;
    std::map<std::string, int, std::less<>> values_;
    std::optional<std::string> focus_;
};

class ScriptedAnswers final : public MessageBoxService {
  public:
    struct Shown {
        std::u16string text;
        int buttons;
        std::u16string title;
        int answer;
    };

    explicit ScriptedAnswers(std::deque<int> answers) : answers_(std::move(answers)) {}

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        int answer = buttons == kYesNo ? kYes : kOk;
        if (buttons != kOkOnly && !answers_.empty()) {
            answer = answers_.front();
            answers_.pop_front();
        }
        shown.push_back({prompt, buttons, title, answer});
        return answer;
    }

    std::vector<Shown> shown;

  private:
    std::deque<int> answers_;
};

class PhaseRecorder final : public ProgressWindow {
  public:
    void Open() override { open_ = true; }
    void SetPhase(const std::u16string& phase) override { phases.push_back(phase); }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    std::vector<std::u16string> phases;

  private:
    bool open_ = false;
};

class ResultRecorder final : public RunView {
  public:
    void ClearResults() override { results.clear(); }
    void AddResult(const std::u16string& name) override { results.push_back(name); }
    void RefreshResults() override {}
    bool RefreshFileList() override { return true; }
    void DisableConversion() override { disabled = true; }
    std::vector<std::u16string> results;
    bool disabled = false;
};

// ---- reading the job ----

const Json& Member(const Json& job, const char* key) {
    static const Json kNull;
    auto it = job.find(key);
    return it == job.end() ? kNull : *it;
}

std::u16string PathMember(const Json& job, const char* key) {
    const Json& v = Member(job, key);
    if (!v.is_string() || v.get_ref<const std::string&>().empty())
        throw JobError(std::string("\"") + key + "\" must be a non-empty string");
    return FromNative(v.get_ref<const std::string&>());
}

int CheckValue(const Json& v, const std::string& name) {
    if (v.is_boolean()) return v.get<bool>() ? kChecked : 0;
    if (v.is_number_integer() && (v.get<int>() == 0 || v.get<int>() == 1)) return v.get<int>();
    throw JobError("control \"" + name + "\" is a check box: 0, 1, true or false");
}

int OptionValue(const Json& v, const std::string& name) {
    if (v.is_boolean()) return v.get<bool>() ? kChosen : 0;
    if (v.is_number_integer() && (v.get<int>() == 0 || v.get<int>() == -1)) return v.get<int>();
    throw JobError("control \"" + name + "\" is an option button: true, false, -1 or 0");
}

void ApplyControl(JobControls& controls, const std::string& name, const ControlSpec& spec, const Json& v) {
    if (spec.kind == Kind::kText) {
        if (!v.is_string()) throw JobError("control \"" + name + "\" is a text: give a string");
        controls.SetText(name, FromUtf8(v.get_ref<const std::string&>()));
        return;
    }
    const auto value = [&](const Json& x) {
        return spec.kind == Kind::kCheck ? CheckValue(x, name) : OptionValue(x, name);
    };
    if (spec.count == 0) {
        controls.SetValue(name, value(v));
        // The two width options are one choice.
        if (name == "Opt_Han") controls.SetValue("Opt_Zen", value(v) == kChosen ? 0 : kChosen);
        if (name == "Opt_Zen") controls.SetValue("Opt_Han", value(v) == kChosen ? 0 : kChosen);
        return;
    }
    if (!v.is_array() || static_cast<int>(v.size()) != spec.count)
        throw JobError("control \"" + name + "\" is an array of " + std::to_string(spec.count) + " values");
    for (int i = 0; i < spec.count; ++i)
        controls.SetValue(name + "(" + std::to_string(i) + ")", value(v[static_cast<std::size_t>(i)]));
}

LocalDateTime ParseNow(const Json& v) {
    if (!v.is_string()) throw JobError("\"now\" must be a string YYYY-MM-DDTHH:MM:SS");
    const std::string& s = v.get_ref<const std::string&>();
    LocalDateTime t;
    char tail = 0;
    if (s.size() != 19 ||
        std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &tail) != 6 ||
        t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
        t.second > 59)
        throw JobError("\"now\" must be a date and time YYYY-MM-DDTHH:MM:SS, not \"" + s + "\"");
    return t;
}

struct Job {
    std::u16string source, destination;
    std::vector<std::u16string> files;
    std::vector<bool> selected;
    Json controls;
    std::deque<int> answers;
    std::optional<LocalDateTime> now;
    std::string run = "test";
};

Job ParseJob(std::istream& in) {
    Json root;
    try {
        root = Json::parse(in);
    } catch (const Json::parse_error& e) {
        throw JobError(std::string("not valid JSON: ") + e.what());
    }
    if (!root.is_object()) throw JobError("the job must be a JSON object");
    static const std::set<std::string> kKeys = {"source",   "destination", "files", "selected",
                                                "controls", "answers",     "now",   "run"};
    for (const auto& [key, value] : root.items())
        if (!kKeys.count(key)) throw JobError("unknown key \"" + key + "\"");

    Job job;
    if (const Json& run = Member(root, "run"); !run.is_null()) {
        if (run != "test" && run != "real" && run != "undo" && run != "recover")
            throw JobError("\"run\" must be \"test\", \"real\", \"undo\" or \"recover\"");
        job.run = run.get<std::string>();
    }
    // Undo and recovery work from the journals alone; a source is optional.
    const bool needsSource = job.run == "test" || job.run == "real" || root.contains("source");
    if (needsSource) job.source = PathMember(root, "source");
    job.destination = root.contains("destination") ? PathMember(root, "destination") : job.source;
    if (needsSource && !NativeFileSystem().FolderExists(job.source))
        throw JobError("source folder not found: " + ToUtf8(job.source));

    if (const Json& files = Member(root, "files"); !files.is_null()) {
        if (!files.is_array()) throw JobError("\"files\" must be an array of names");
        for (const auto& f : files) {
            if (!f.is_string()) throw JobError("\"files\" must be an array of names");
            job.files.push_back(FromNative(f.get_ref<const std::string&>()));
        }
    } else if (needsSource) {
        job.files = NativeFileSystem().ListFiles(job.source);
    }
    if (job.files.size() > static_cast<std::size_t>(kMaxRows))
        throw JobError("a job holds at most " + std::to_string(kMaxRows) + " files");

    const Json& selected = Member(root, "selected");
    if (selected.is_null() || selected == "all") {
        job.selected.assign(job.files.size(), true);
    } else if (selected.is_array()) {
        job.selected.assign(job.files.size(), false);
        for (const auto& i : selected) {
            if (!i.is_number_integer() || i.get<long long>() < 0 ||
                i.get<long long>() >= static_cast<long long>(job.files.size()))
                throw JobError("\"selected\" holds " + i.dump() + ", not a row of \"files\" (0 to " +
                               std::to_string(job.files.size()) + " - 1)");
            job.selected[i.get<std::size_t>()] = true;
        }
    } else {
        throw JobError("\"selected\" must be \"all\" or an array of rows");
    }

    job.controls = Member(root, "controls");
    if (!job.controls.is_null() && !job.controls.is_object())
        throw JobError("\"controls\" must be an object");

    if (const Json& answers = Member(root, "answers"); !answers.is_null()) {
        if (!answers.is_array()) throw JobError("\"answers\" must be an array of buttons");
        for (const auto& a : answers) {
            const bool button = a.is_number_integer() && (a == kOk || a == kCancel || a == kYes || a == kNo);
            if (!button) throw JobError("\"answers\" holds " + a.dump() + ", not a button (1, 2, 6 or 7)");
            job.answers.push_back(a.get<int>());
        }
    }

    if (root.contains("now")) job.now = ParseNow(root["now"]);
    return job;
}

// ---- writing the result ----

OrderedJson Names(const std::vector<std::u16string>& names) {
    OrderedJson a = OrderedJson::array();
    for (const auto& n : names) a.push_back(ToUtf8(n));
    return a;
}

}  // namespace

int RunJob(std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        Job job = ParseJob(in);

        std::unique_ptr<FixedClock> fixedClock;
        if (job.now) fixedClock = std::make_unique<FixedClock>(*job.now);
        Clock& clock = fixedClock ? static_cast<Clock&>(*fixedClock) : SystemClock();

        JobControls controls(clock.Now());
        controls.SetText("F_Dir", job.source);
        controls.SetText("A_Dir", job.destination);
        for (std::size_t i = 0; i < job.files.size(); ++i)
            controls.rows.push_back({job.files[i], job.selected[i]});
        if (job.controls.is_object()) {
            for (const auto& [name, value] : job.controls.items()) {
                auto spec = ControlSpecs().find(name);
                if (spec == ControlSpecs().end()) throw JobError("unknown control \"" + name + "\"");
                ApplyControl(controls, name, spec->second, value);
            }
        }

        ScriptedAnswers messages(job.answers);
        NullEventPump events;
        PhaseRecorder progress;
        ResultRecorder view;
        // Real runs keep their journals where ZVNUM keeps them.
        ConversionEngine engine(
            {controls, messages, events, clock, NativeFileSystem(), progress, view, &NativeJournalStore()});
        StepFlag flag = kStop;
        if (job.run == "real")
            flag = engine.RealRun();
        else if (job.run == "test")
            flag = engine.TestRun();
        else  // undo, recover: -1 when files changed
            flag = (job.run == "undo" ? engine.UndoLastRun() : engine.RecoverInterruptedRuns()) ? kGoOn : kStop;

        const ConversionTable& t = engine.Table();
        OrderedJson result;
        result["flag"] = flag;
        result["messages"] = OrderedJson::array();
        for (const auto& m : messages.shown)
            result["messages"].push_back({{"text", ToUtf8(m.text)},
                                          {"title", ToUtf8(m.title)},
                                          {"buttons", m.buttons},
                                          {"answer", m.answer}});
        result["focus"] = controls.Focus() ? OrderedJson(*controls.Focus()) : OrderedJson(nullptr);
        result["phases"] = Names(progress.phases);
        result["table"] = {
            {"Lbl_TestPath1", ToUtf8(t.sourcePath)}, {"Lbl_TestPath2", ToUtf8(t.destinationPath)},
            {"Lst_Test1", Names(t.selected)},        {"Lst_Test2", Names(t.base)},
            {"Lst_Test3", Names(t.extension)},       {"Lst_Test4", Names(t.newName)}};
        result["Lst_Kekka"] = Names(view.results);
        OrderedJson boxes = OrderedJson::object();
        for (const auto& box : kTimeStampBoxes) boxes[box] = ToUtf8(controls.Text(box));
        result["controls"] = boxes;
        result["progressOpen"] = progress.IsOpen();
        result["conversionDisabled"] = view.disabled;
        out << result.dump(1) << "\n";
        return kExitRan;
    } catch (const JobError& e) {
        err << "jobrun: " << e.what() << "\n";
        return kExitMalformed;
    } catch (const std::exception& e) {
        err << "jobrun: failed: " << e.what() << "\n";
        return kExitFailed;
    }
}

}  // namespace zv::jobrun
