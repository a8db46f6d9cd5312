// karuneo.exe answering without a window: --version, and --register and
// --unregister read back from this user's registry and Send To folder, the
// verb's command run as Explorer would run it on a folder.
#include <windows.h>
// windows.h first: the shell's headers rely on its types.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "app/win32/send_to_shortcut.h"
#include "engine/utf16_win32.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/captured_run.h"
#include "tests/support/win32/karuneo_window.h"
#include "tests/support/win32/sibling_program.h"

namespace karuneo {
namespace {

constexpr const wchar_t* kVerb = LR"(Software\Classes\Directory\shell\karuneo)";
constexpr const wchar_t* kCommand = LR"(Software\Classes\Directory\shell\karuneo\command)";

using testing::RunCaptured;
using Finished = testing::CapturedRun;

std::wstring Exe() {
    return testing::SiblingProgram(L"karuneo.exe");
}

Finished Karuneo(const std::wstring& option) {
    return RunCaptured(L"\"" + Exe() + L"\" " + option);
}

std::wstring ValueOf(const wchar_t* key, const wchar_t* name) {
    wchar_t data[1024] = {};
    DWORD size = sizeof data;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS) {
        return L"(missing)";
    }
    return data;
}

bool KeyExists(const wchar_t* key) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A shortcut the user made under our name, pointing at another program.
void MakeForeignShortcut(const std::wstring& path, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, reinterpret_cast<void**>(&link))));
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
    file->Release();
    link->Release();
}

// Every case starts and ends with nothing registered, whatever it left. The
// keys and the shortcut are removed here rather than by --unregister, which
// would start the program twice more per case and, left a foreign value,
// keep the key.
class RegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        shortcut_ = win32::SendToShortcutPath();
        ASSERT_FALSE(shortcut_.empty());
        RemoveEverything();
        ASSERT_FALSE(KeyExists(kVerb));
    }
    void TearDown() override {
        RemoveEverything();
        ::CoUninitialize();
    }
    void RemoveEverything() const {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kVerb);
        ::DeleteFileW(shortcut_.c_str());
    }

    std::wstring shortcut_;
};

TEST_F(RegistrationTest, VersionIsPrintedWithoutAWindowAsTheToolPrintsIt) {
    const Finished window = Karuneo(L"--version");
    EXPECT_EQ(window.status, 0u);
    EXPECT_EQ(window.output, "karuneo " KARUNEO_VERSION "\r\n");
    const Finished tool =
        RunCaptured(L"\"" + testing::SiblingProgram(L"karuneo-cli.exe") + L"\" --version");
    EXPECT_EQ(tool.output, "karuneo-cli " KARUNEO_VERSION "\r\n");

    const Finished misused = Karuneo(L"--version C:\\D");
    EXPECT_EQ(misused.status, 2u);
    EXPECT_NE(misused.output.find("take nothing after them"), std::string::npos);
}

TEST_F(RegistrationTest, HelpIsPrintedWithoutAWindow) {
    for (const wchar_t* option : {L"--help", L"/?"}) {
        const Finished help = Karuneo(option);
        EXPECT_EQ(help.status, 0u);
        EXPECT_EQ(help.output.rfind("Usage: karuneo.exe [FOLDER...]\r\n", 0), 0u) << help.output;
    }
}

TEST_F(RegistrationTest, RegisterAddsTheFolderVerbAndTheSendToShortcutAndUnregisterTakesThem) {
    const Finished registered = Karuneo(L"--register");
    EXPECT_EQ(registered.status, 0u) << registered.output;
    EXPECT_NE(registered.output.find("added"), std::string::npos) << registered.output;

    EXPECT_EQ(ValueOf(kVerb, nullptr), L"カルネオで展開");
    EXPECT_EQ(ValueOf(kVerb, L"Icon"), Exe() + L",0");
    EXPECT_EQ(ValueOf(kVerb, L"MultiSelectModel"), L"Player");
    EXPECT_EQ(ValueOf(kCommand, nullptr), L"\"" + Exe() + L"\" \"%1\"");
    EXPECT_EQ(win32::ShortcutTarget(shortcut_), Exe());

    // A second time changes nothing and still succeeds: the installer runs it
    // over an earlier registration.
    EXPECT_EQ(Karuneo(L"--register").status, 0u);

    const Finished unregistered = Karuneo(L"--unregister");
    EXPECT_EQ(unregistered.status, 0u) << unregistered.output;
    EXPECT_FALSE(KeyExists(kVerb));
    EXPECT_FALSE(Exists(shortcut_));
    EXPECT_EQ(Karuneo(L"--unregister").status, 0u) << "nothing left to remove is no failure";
}

TEST_F(RegistrationTest, UnregisterLeavesWhatAnotherProgramPutThere) {
    ASSERT_EQ(Karuneo(L"--register").status, 0u);
    HKEY verb = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kVerb, 0, KEY_SET_VALUE, &verb), ERROR_SUCCESS);
    const wchar_t top[] = L"Top";
    ::RegSetValueExW(verb, L"Position", 0, REG_SZ, reinterpret_cast<const BYTE*>(top), sizeof top);
    ::RegCloseKey(verb);

    EXPECT_EQ(Karuneo(L"--unregister").status, 0u);
    EXPECT_EQ(ValueOf(kVerb, L"Position"), L"Top");
    EXPECT_EQ(ValueOf(kVerb, L"MultiSelectModel"), L"(missing)");
    EXPECT_FALSE(KeyExists(kCommand));
}

TEST_F(RegistrationTest, AShortcutOfTheSameNameToAnotherProgramIsNeverReplacedNorRemoved) {
    const std::wstring other = LR"(C:\windows\notepad.exe)";
    MakeForeignShortcut(shortcut_, other);
    const Finished registered = Karuneo(L"--register");
    EXPECT_EQ(registered.status, 1u);
    EXPECT_NE(registered.output.find("left as it is"), std::string::npos) << registered.output;
    EXPECT_EQ(ValueOf(kVerb, L"MultiSelectModel"), L"Player") << "the verb is added all the same";

    EXPECT_EQ(Karuneo(L"--unregister").status, 0u);
    EXPECT_EQ(win32::ShortcutTarget(shortcut_), other);
}

// The verb's command with %1 replaced as Explorer replaces it, split as
// karuneo.exe splits it, and run: the folder comes through exactly.
TEST_F(RegistrationTest, TheVerbsCommandStartsTheProgramOnTheSelectedFolder) {
    ASSERT_EQ(Karuneo(L"--register").status, 0u);
    testing::TempTree tree;
    tree.Add({"A B/写真/f 1.txt"}, "選んだ フォルダ");
    std::wstring folder = win32::Utf16FromUtf8(tree.Path("選んだ フォルダ")).value();
    if (folder.starts_with(LR"(\\?\)")) {
        folder = folder.substr(4);  // Explorer gives plain paths
    }
    std::wstring command = ValueOf(kCommand, nullptr);
    command.replace(command.find(L"%1"), 2, folder);

    int count = 0;
    wchar_t** split = ::CommandLineToArgvW(command.c_str(), &count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(std::wstring(split[0]), Exe());
    EXPECT_EQ(std::wstring(split[1]), folder);
    ::LocalFree(split);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    for (int tries = 0; tries < 300 && testing::ListedRows(process.dwThreadId) == 0; ++tries) {
        ::Sleep(100);
    }
    EXPECT_EQ(tree.Take("選んだ フォルダ"),
              (testing::Snapshot{{"f 1.txt", "file:A B/写真/f 1.txt"}}));
    testing::CloseWindowsOf(process.dwThreadId);
    EXPECT_EQ(::WaitForSingleObject(process.hProcess, 30'000), WAIT_OBJECT_0);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace karuneo
