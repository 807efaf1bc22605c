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
#include <iostream>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>

#include "engine/EngineFakes.h"

namespace zv {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr int kChecked = 1, kChosen = -1;

// Input that is not a job.
using JobError = std::runtime_error;

const char* const kTimeStampBoxes[] = {"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"};

// The controls a job may set: text boxes, then check boxes and options.
const std::set<std::string, std::less<>> kTexts = {"Txt_B_text", "Txt_A_text", "Txt_Startnum", "Lbl_up",
                                                   "Lbl_keta",   "Txt_YY",     "Txt_MM",       "Txt_DD",
                                                   "Txt_H",      "Txt_M",      "Txt_S"};
const std::set<std::string, std::less<>> kValues = {
    "Chk_syori(0)",   "Chk_syori(1)",   "Chk_keta_lock", "Opt_Han",    "Opt_Zen",
    "Opt_Cpymov(0)",  "Opt_Cpymov(1)",  "Chk_DateLock",  "Chk_Attrib", "Chk_Att_Set(0)",
    "Chk_Att_Set(1)", "Chk_Att_Set(2)", "Chk_Att_Set(3)"};

OrderedJson Names(const std::vector<std::u16string>& names) {
    OrderedJson a = OrderedJson::array();
    for (const auto& n : names) a.push_back(ToUtf8(n));
    return a;
}

// The main window as the job sets it up: the engine tests' window, which
// starts with what the window shows after start-up, its message boxes
// recorded with the answer each got.
struct JobWindow final : test::FakeWindow {
    // At start-up the time-stamp boxes show the present date and time.
    void StartAt(const LocalDateTime& now) {
        const int fill[] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        for (int i = 0; i < 6; ++i) Set(kTimeStampBoxes[i], FromUtf8(std::to_string(fill[i])));
    }

    // One control of the job; an array sets the control array name(0), name(1)...
    void Apply(const std::string& name, const Json& v) {
        if (v.is_array()) {
            for (std::size_t i = 0; i < v.size(); ++i) Apply(name + "(" + std::to_string(i) + ")", v[i]);
        } else if (kTexts.count(name)) {
            Set(name, FromUtf8(v.get<std::string>()));
        } else if (kValues.count(name)) {
            const int on = name.starts_with("Opt_") ? kChosen : kChecked;
            const int value = v.is_boolean() ? (v.get<bool>() ? on : 0) : v.get<int>();
            if (value != 0 && value != on)
                throw JobError("control \"" + name + "\" takes 0 or " + std::to_string(on));
            Set(name, FromUtf8(std::to_string(value)));
            // The two width options are one choice.
            if (name == "Opt_Han" || name == "Opt_Zen")
                Set(name == "Opt_Han" ? "Opt_Zen" : "Opt_Han", FromUtf8(std::to_string(on - value)));
        } else {
            throw JobError("unknown control \"" + name + "\"");
        }
    }

    int Show(const std::u16string& prompt, int buttons, const std::u16string& title) override {
        const int answer = FakeWindow::Show(prompt, buttons, title);
        messages.push_back(
            {{"text", ToUtf8(prompt)}, {"title", ToUtf8(title)}, {"buttons", buttons}, {"answer", answer}});
        return answer;
    }

    OrderedJson messages = OrderedJson::array();
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
    // The job's "now", or the time jobrun started.
    LocalDateTime now = SystemClock().Now();
    JobWindow w;
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
            const std::string text = root["now"].get<std::string>();
            if (text.size() != 19 ||
                std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &now.year, &now.month, &now.day,
                            &now.hour, &now.minute, &now.second) != 6)
                throw JobError("\"now\" is not a date and time YYYY-MM-DDTHH:MM:SS: " + text);
        }
        w.StartAt(now);
        for (const auto& a : root.value("answers", Json::array())) {
            if (a != kOk && a != kCancel && a != kYes && a != kNo)
                throw JobError("answer " + a.dump() + " is not a button");
            w.answers.push_back(a.get<int>());
        }

        // Undo and recovery work from the journals alone; a source is optional.
        if (run == "test" || run == "real" || root.contains("source")) {
            const std::u16string source = Path(root, "source");
            if (!NativeFileSystem().FolderExists(source))
                throw JobError("source folder not found: " + ToUtf8(source));
            w.SetText("F_Dir", source);
            w.SetText("A_Dir", root.contains("destination") ? Path(root, "destination") : source);
            std::vector<std::u16string> files;
            if (!root.contains("files")) files = NativeFileSystem().ListFiles(source);
            for (const auto& f : root.value("files", Json::array()))
                files.push_back(FromNative(f.get<std::string>()));
            if (files.size() > static_cast<std::size_t>(kMaxRows))
                throw JobError("a job holds at most " + std::to_string(kMaxRows) + " files");
            const Json selected = root.value("selected", Json("all"));
            for (const auto& f : files) w.files.push_back({f, selected == "all"});
            if (selected != "all")
                for (const auto& row : selected) w.files.at(row.get<std::size_t>()).second = true;
        }
        const Json controls = root.value("controls", Json::object());
        for (const auto& [name, value] : controls.items()) w.Apply(name, value);
    } catch (const std::exception& e) {
        // JSON that does not parse, a value of the wrong type, a row past the end...
        const std::string what = e.what();
        std::cerr << "jobrun: " << what.substr(0, what.find('\n')) << "\n";
        return 2;
    }
    try {
        FixedClock clock(now);
        // Real runs keep their journals where ZVNUM keeps them.
        ConversionEngine engine({w, w, w, clock, NativeFileSystem(), w, w, &NativeJournalStore()});
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
        result["focus"] = w.focus.empty() ? OrderedJson(nullptr) : OrderedJson(w.focus);
        result["phases"] = Names(w.phases);
        result["table"] = {
            {"Lbl_TestPath1", ToUtf8(t.sourcePath)}, {"Lbl_TestPath2", ToUtf8(t.destinationPath)},
            {"Lst_Test1", Names(t.selected)},        {"Lst_Test2", Names(t.base)},
            {"Lst_Test3", Names(t.extension)},       {"Lst_Test4", Names(t.newName)}};
        result["Lst_Kekka"] = Names(w.results);
        for (const char* box : kTimeStampBoxes) result["controls"][box] = ToUtf8(w.Text(box));
        result["progressOpen"] = w.open;
        result["conversionDisabled"] = w.disables > 0;
        std::cout << result.dump(1) << "\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "jobrun: failed: " << e.what() << "\n";
        return 1;
    }
}
