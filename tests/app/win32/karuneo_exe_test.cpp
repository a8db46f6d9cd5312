// The built karuneo.exe itself: its version resource, that it asks for no
// DLL a Windows user lacks, that it starts with folders on its command line
// and processes them, and that a second start hands its folders to the first.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "engine/utf16_win32.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/karuneo_window.h"
#include "tests/support/win32/sibling_program.h"

namespace karuneo {
namespace {

std::wstring ExePath() {
    return testing::SiblingProgram(L"karuneo.exe");
}

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    if (!::VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0) {
        return L"(missing)";
    }
    return static_cast<const wchar_t*>(value);
}

TEST(KaruneoExeTest, CarriesItsJapaneseVersionResource) {
    const std::wstring exe = ExePath();
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

    void* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        ::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &translation, &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(translation)[0], 0x0411);
    EXPECT_EQ(static_cast<const WORD*>(translation)[1], 1200) << "Unicode string table";
    EXPECT_EQ(VersionString(info, L"FileVersion"), L"" KARUNEO_VERSION);
    EXPECT_EQ(VersionString(info, L"ProductVersion"), L"" KARUNEO_VERSION);
    EXPECT_EQ(VersionString(info, L"ProductName"), L"カルネオ");
    EXPECT_EQ(VersionString(info, L"InternalName"), L"カルネオ");
}

// The DLLs the executable imports, read from its import table.
std::vector<std::string> ImportedDlls(const std::wstring& exe) {
    std::vector<std::string> dlls;
    HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (image == nullptr) {
        return {"(cannot load)"};
    }
    const auto* base = reinterpret_cast<const char*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress != 0 && entry->Name != 0; ++entry) {
        std::string name = base + entry->Name;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        dlls.push_back(name);
    }
    ::FreeLibrary(image);
    return dlls;
}

TEST(KaruneoExeTest, NeedsNoDllThatWindowsDoesNotShip) {
    const std::vector<std::string> dlls = ImportedDlls(ExePath());
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) {
        EXPECT_TRUE(dll.find("libgcc") == std::string::npos &&
                    dll.find("libstdc++") == std::string::npos &&
                    dll.find("libwinpthread") == std::string::npos && dll.find("qt") != 0)
            << dll;
    }
}

TEST(KaruneoExeTest, ProcessesTheFoldersOnItsCommandLineOnceItIsUp) {
    testing::TempTree tree;
    tree.Add({"写真/2024/a.jpg", "plain/x", "plain/y"});
    const std::wstring command_line = L"karuneo.exe \"" +
                                      win32::Utf16FromUtf8(tree.Path("写真")).value() + L"\" \"" +
                                      win32::Utf16FromUtf8(tree.Path("plain")).value() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring mutable_line = command_line;
    ASSERT_TRUE(::CreateProcessW(ExePath().c_str(), mutable_line.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &process));
    // Wine reports the process idle before it is; the rows tell.
    for (int tries = 0; tries < 300 && testing::ListedRows(process.dwThreadId) < 2; ++tries) {
        ::Sleep(100);
    }
    EXPECT_EQ(tree.Take("写真"), (testing::Snapshot{{"a.jpg", "file:写真/2024/a.jpg"}}));
    EXPECT_EQ(tree.Take("plain").size(), 2u);
    testing::CloseWindowsOf(process.dwThreadId);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30'000), WAIT_OBJECT_0);
    DWORD exit_code = 1;
    ::GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

// A running karuneo.exe, closed through its window and waited for at the end.
class Started {
  public:
    explicit Started(const std::vector<std::string>& folders) {
        std::wstring command_line = L"karuneo.exe";
        for (const auto& folder : folders) {
            command_line += L" \"" + win32::Utf16FromUtf8(folder).value() + L"\"";
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(ExePath().c_str(), command_line.data(), nullptr, nullptr, FALSE,
                                    0, nullptr, nullptr, &startup, &process_);
        EXPECT_TRUE(started_);
    }
    ~Started() {
        if (started_) {
            Close();
            ::CloseHandle(process_.hThread);
            ::CloseHandle(process_.hProcess);
        }
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    bool Ended(DWORD within_ms) const {
        return ::WaitForSingleObject(process_.hProcess, within_ms) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = 1;
        ::GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }
    int Windows() const {
        int count = 0;
        ::EnumThreadWindows(
            process_.dwThreadId,
            [](HWND window, LPARAM counted) {
                wchar_t type[64] = {};
                ::GetClassNameW(window, type, 64);
                *reinterpret_cast<int*>(counted) += std::wstring(type) == L"KaruneoForm1" ? 1 : 0;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count;
    }
    int Rows() const { return testing::ListedRows(process_.dwThreadId); }
    void Close() {
        testing::CloseWindowsOf(process_.dwThreadId);
        EXPECT_TRUE(Ended(30'000));
    }

  private:
    bool started_ = false;
    PROCESS_INFORMATION process_{};
};

bool WaitFor(const std::function<bool()>& done) {
    for (int tries = 0; tries < 300; ++tries) {
        if (done()) {
            return true;
        }
        ::Sleep(100);
    }
    return false;
}

// A path as the shell gives it, without the prefix the test tree adds.
std::string Plain(const std::string& path) {
    return path.starts_with(R"(\\?\)") ? path.substr(4) : path;
}

TEST(KaruneoExeTest, ASecondStartHandsItsFoldersToTheFirstWindowAndEnds) {
    testing::TempTree tree;
    const std::string deep =
        "deep/" + std::string(100, 'x') + "/" + std::string(100, 'y') + "/" + std::string(70, 'z');
    tree.Add({"写真/2024/a.jpg", deep + "/A/f"});
    Started first({});
    ASSERT_TRUE(WaitFor([&] { return first.Windows() == 1; }));

    const std::string long_path = Plain(tree.Path(deep));
    ASSERT_GT(long_path.size(), 260u);
    Started second({Plain(tree.Path("写真")), long_path});
    ASSERT_TRUE(second.Ended(30'000));
    EXPECT_EQ(second.ExitCode(), 0u);

    EXPECT_TRUE(WaitFor([&] { return first.Rows() == 2; }));
    EXPECT_EQ(tree.Take("写真").count("a.jpg"), 1u);
    const std::wstring moved = LR"(\\?\)" + win32::Utf16FromUtf8(long_path).value() + L"\\f";
    EXPECT_NE(::GetFileAttributesW(moved.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(first.Windows(), 1);
    first.Close();
    EXPECT_EQ(first.ExitCode(), 0u);
    // What the test tree cannot remove past 260 characters.
    ::DeleteFileW(moved.c_str());
    std::wstring folder = moved.substr(0, moved.size() - 2);
    for (int level = 0; level < 3; ++level) {
        ::RemoveDirectoryW(folder.c_str());
        folder.resize(folder.find_last_of(L'\\'));
    }
}

TEST(KaruneoExeTest, TwoStartsAtTheSameMomentEndWithOneWindow) {
    testing::TempTree tree;
    tree.Add({"P/A/p", "Q/B/q"});
    Started one({tree.Path("P")});
    Started other({tree.Path("Q")});

    EXPECT_TRUE(WaitFor([&] { return one.Rows() + other.Rows() == 2; }));
    EXPECT_EQ(tree.Take("P").count("p"), 1u);
    EXPECT_EQ(tree.Take("Q").count("q"), 1u);
    EXPECT_TRUE(WaitFor([&] { return one.Ended(0) || other.Ended(0); }));
    EXPECT_EQ(one.Windows() + other.Windows(), 1);
}

}  // namespace
}  // namespace karuneo
