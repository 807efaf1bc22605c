// Journals in %LOCALAPPDATA%\Zorvik\journal. A writer keeps its file open
// without write sharing for as long as it lives; Windows closes it when the
// process dies, so "cannot be opened for writing" means "a run is going".
#include "shared/JournalStore.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "shared/NativeName.h"

namespace zv {

namespace {

std::wstring JournalFolder() {
    wchar_t buf[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buf, static_cast<DWORD>(std::size(buf)));
    if (n == 0 || n >= std::size(buf)) return {};
    return std::wstring(buf, n) + L"\\Zorvik\\journal";
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

bool PlainName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find_first_of("\\/:") == std::string::npos;
}

bool MakeFolders(const std::wstring& path) {
    for (std::size_t pos = 3; pos <= path.size(); ++pos) {
        if (pos < path.size() && path[pos] != L'\\') continue;
        if (!CreateDirectoryW(path.substr(0, pos).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

bool WriteAll(HANDLE h, std::string_view text) {
    while (!text.empty()) {
        DWORD put = 0;
        if (!WriteFile(h, text.data(), static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30)), &put,
                       nullptr) ||
            put == 0)
            return false;
        text.remove_prefix(put);
    }
    return true;
}

class Win32JournalWriter final : public JournalWriter {
  public:
    explicit Win32JournalWriter(HANDLE h) : h_(h) {}
    ~Win32JournalWriter() override {
        WriteAll(h_, buffer_);
        CloseHandle(h_);
    }
    bool Write(std::string_view text) override {
        buffer_.append(text);
        return buffer_.size() < (std::size_t{1} << 20) || Flush();
    }
    bool Sync() override { return Flush() && FlushFileBuffers(h_); }

  private:
    bool Flush() {
        bool ok = WriteAll(h_, buffer_);
        buffer_.clear();
        return ok;
    }
    HANDLE h_;
    std::string buffer_;
};

class Win32JournalStore final : public JournalStore {
  public:
    std::unique_ptr<JournalWriter> Create(const std::string& name) override {
        const std::wstring folder = JournalFolder();
        if (folder.empty() || !PlainName(name) || !MakeFolders(folder)) return nullptr;
        HANDLE h = CreateFileW((folder + L"\\" + Wide(name)).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32JournalWriter>(h);
    }

    std::vector<std::string> List() override {
        std::vector<std::string> names;
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((JournalFolder() + L"\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            std::string name;
            bool ascii = true;
            for (const wchar_t* c = fd.cFileName; *c; ++c) {
                if (*c > 0x7E) ascii = false;
                name += static_cast<char>(*c);
            }
            if (ascii && PlainName(name)) names.push_back(name);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::optional<std::string> Read(const std::string& name) override {
        if (!PlainName(name)) return std::nullopt;
        HANDLE h = CreateFileW((JournalFolder() + L"\\" + Wide(name)).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return std::nullopt;
        std::string text;
        char buf[1 << 16];
        DWORD got = 0;
        bool ok = true;
        while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0) text.append(buf, got);
        CloseHandle(h);
        if (!ok) return std::nullopt;
        return text;
    }

    bool Append(const std::string& name, std::string_view text) override {
        if (!PlainName(name)) return false;
        HANDLE h = CreateFileW((JournalFolder() + L"\\" + Wide(name)).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = WriteAll(h, text) && FlushFileBuffers(h);
        CloseHandle(h);
        return ok;
    }

    bool Remove(const std::string& name) override {
        return PlainName(name) && DeleteFileW((JournalFolder() + L"\\" + Wide(name)).c_str());
    }

    bool InUse(const std::string& name) override {
        if (!PlainName(name)) return false;
        HANDLE h = CreateFileW((JournalFolder() + L"\\" + Wide(name)).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
        CloseHandle(h);
        return false;
    }

    std::u16string Location() override {
        const std::wstring f = JournalFolder();
        return std::u16string(f.begin(), f.end());
    }
};

}  // namespace

JournalStore& NativeJournalStore() {
    static Win32JournalStore store;
    return store;
}

}  // namespace zv
