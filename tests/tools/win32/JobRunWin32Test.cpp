// Acceptance on Windows: real runs through the jobrun program on folders of
// the Windows file system, with Japanese names. What the user is told, and
// what the folders hold afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "shared/FileSystem.h"
#include "shared/NativeName.h"

namespace {

using Json = nlohmann::json;
using Files = std::map<std::u16string, std::string>;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
std::u16string U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }

void WriteFileBytes(const std::u16string& path, const std::string& data) {
    HANDLE h = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    CloseHandle(h);
}

std::string ReadFileBytes(const std::u16string& path) {
    HANDLE h = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

// Two folders, src and dst, under a fresh temporary folder.
class Folders {
  public:
    Folders() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        for (int i = 0; root_.empty() && i < 1000; ++i) {
            std::string n = "zvjob" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(i);
            std::u16string candidate = U(base) + std::u16string(n.begin(), n.end());
            if (CreateDirectoryW(W(candidate), nullptr)) root_ = candidate;
        }
        CreateDirectoryW(W(Src()), nullptr);
        CreateDirectoryW(W(Dst()), nullptr);
    }
    ~Folders() {
        for (const auto& folder : {Src(), Dst()}) {
            for (const auto& [name, data] : Contents(folder)) DeleteFileW(W(zv::JoinPath(folder, name)));
            RemoveDirectoryW(W(folder));
        }
        for (auto name : {u"job.json", u"out.json", u"err.txt"}) DeleteFileW(W(zv::JoinPath(root_, name)));
        RemoveDirectoryW(W(root_));
    }
    std::u16string Src() const { return zv::JoinPath(root_, u"src"); }
    std::u16string Dst() const { return zv::JoinPath(root_, u"dst"); }

    static Files Contents(const std::u16string& folder) {
        Files files;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(W(zv::JoinPath(folder, u"*")), &fd);
        if (h == INVALID_HANDLE_VALUE) return files;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            files[U(fd.cFileName)] = ReadFileBytes(zv::JoinPath(folder, U(fd.cFileName)));
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        return files;
    }

    // Runs jobrun with the job on its standard input; the exit code in status.
    Json Run(const Json& job, DWORD& status, std::string& err) const {
        const std::u16string in = zv::JoinPath(root_, u"job.json"), out = zv::JoinPath(root_, u"out.json"),
                             errFile = zv::JoinPath(root_, u"err.txt");
        WriteFileBytes(in, job.dump());
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE hin = CreateFileW(W(in), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0, nullptr);
        HANDLE hout =
            CreateFileW(W(out), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE herr =
            CreateFileW(W(errFile), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = hin, si.hStdOutput = hout, si.hStdError = herr;
        PROCESS_INFORMATION pi{};
        // jobrun lands beside this program.
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring program(self);
        program = program.substr(0, program.find_last_of(L"\\/") + 1) + ZV_JOBRUN_NAME;
        std::wstring command = L"\"" + program + L"\"";
        status = 255;
        if (CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                           &pi)) {
            WaitForSingleObject(pi.hProcess, 60000);
            GetExitCodeProcess(pi.hProcess, &status);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        CloseHandle(hin), CloseHandle(hout), CloseHandle(herr);
        err = ReadFileBytes(errFile);
        const std::string text = ReadFileBytes(out);
        return text.empty() ? Json() : Json::parse(text);
    }

  private:
    std::u16string root_;
};

const Json kQuestion = {
    {"text", "変換処理を開始しますか？"}, {"title", "開始"}, {"buttons", 4}, {"answer", 6}};

struct RealCase {
    const char* label;
    Files src, dst;  // before
    Json job;        // source/destination default to src
    Json expect;     // keys of the result that must match
    Files srcAfter, dstAfter;
};

void PrintTo(const RealCase& c, std::ostream* os) { *os << c.label; }

class JobRunOnWindows : public testing::TestWithParam<RealCase> {};

TEST_P(JobRunOnWindows, FoldersHoldWhatTheUserWasToldOf) {
    const RealCase& c = GetParam();
    Folders f;
    for (const auto& [name, data] : c.src) WriteFileBytes(zv::JoinPath(f.Src(), name), data);
    for (const auto& [name, data] : c.dst) WriteFileBytes(zv::JoinPath(f.Dst(), name), data);
    Json job = c.job;
    job["run"] = "real";
    job["source"] = zv::ToNative(f.Src());
    job["destination"] = zv::ToNative(job.value("destination", "") == "{DST}" ? f.Dst() : f.Src());
    job["now"] = "2024-03-07T09:05:03";

    DWORD status = 255;
    std::string err;
    const Json result = f.Run(job, status, err);
    ASSERT_EQ(status, 0u) << err;
    for (const auto& [key, value] : c.expect.items()) EXPECT_EQ(result.at(key), value) << key;
    EXPECT_EQ(Folders::Contents(f.Src()), c.srcAfter);
    EXPECT_EQ(Folders::Contents(f.Dst()), c.dstAfter);
}

const Json kNumbering = {{"Txt_B_text", "写真_"}, {"Lbl_keta", "3"}};
const Json kReplaceAB = {{"Chk_syori", {0, 1}}, {"Txt_B_text", "a"}, {"Txt_A_text", "b"}};

INSTANTIATE_TEST_SUITE_P(
    Jobs, JobRunOnWindows,
    testing::Values(
        RealCase{"japanese_numbering_in_place",
                 {{u"い.jpg", "B"}, {u"あ.jpg", "A"}},
                 {},
                 {{"controls", kNumbering}},
                 {{"flag", -1}, {"messages", {kQuestion}}},
                 {{u"写真_001.jpg", "A"}, {u"写真_002.jpg", "B"}},
                 {}},
        // A name taken outside the job stops the run before any file.
        RealCase{"replace_onto_a_taken_name_touches_nothing",
                 {{u"a1.txt", "1"}, {u"a2.txt", "2"}, {u"a3.txt", "3"}, {u"B3.TXT", "old"}},
                 {},
                 {{"controls", kReplaceAB}, {"files", {"a1.txt", "a2.txt", "a3.txt"}}},
                 {{"flag", 0},
                  {"messages",
                   {kQuestion,
                    {{"text", "変換後のファイル名が重複しています。"}, {"title", "ファイル指定エラー"}, {"buttons", 0},
                     {"answer", 1}}}}},
                 {{u"a1.txt", "1"}, {u"a2.txt", "2"}, {u"a3.txt", "3"}, {u"B3.TXT", "old"}},
                 {}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
