#include "tests/window/win32/form1_fixture.h"

#include "engine/native_file_system.h"
#include "engine/utf16_win32.h"

namespace karuneo::win32 {
namespace {

std::wstring TestKey() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return L"Software\\karuneo tests\\" + std::to_wstring(::GetCurrentProcessId()) + L"\\" +
           Utf16FromUtf8(std::string(test->test_suite_name()) + "." + test->name()).value();
}

}  // namespace

Form1Fixture::Form1Fixture() : key(TestKey()), store(key) {}

Form1Fixture::~Form1Fixture() {
    ReleaseWalks();
    form.reset();
    ::CloseHandle(walks_may_go);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

void Form1Fixture::Store(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
        store.Write("Main", name, value);
    }
}

void Form1Fixture::Open(FileSystemFactory make_file_system) {
    // The factory is called where the walk runs, once for each folder.
    form = std::make_unique<Form1>(store, [this, make_file_system] {
        walk_thread = ::GetCurrentThreadId();
        ::WaitForSingleObject(walks_may_go, 30'000);
        return make_file_system ? make_file_system() : MakeNativeFileSystem();
    });
    form->SetMenuChooser([this](HMENU menu, POINT at) {
        std::vector<std::wstring> items;
        for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
            items.emplace_back(text);
        }
        EXPECT_EQ(items,
                  (std::vector<std::wstring>{
                      L"元に戻す(&U)\tCtrl+Z", L"詳細(&I)\tEnter", L"コピー(&C)\tCtrl+C", L"",
                      L"履歴(&H)…", L"リスト全削除(&D)", L"", L"アーカイブも展開する(&A)"}));
        EXPECT_TRUE(::GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_TRUE(::GetMenuState(menu, 6, MF_BYPOSITION) & MF_SEPARATOR);
        // Off unless the store says it was turned on.
        EXPECT_FALSE(::GetMenuState(menu, kMnu展開, MF_BYCOMMAND) & MF_CHECKED);
        const auto offered = [menu](UINT command) {
            return !(::GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED);
        };
        undo_offered = offered(kMnu元に戻す);
        details_offered = offered(kMnu詳細);
        copy_offered = offered(kMnuコピー);
        clear_offered = offered(kMnu削除);
        menu_points.push_back(at);
        return menu_choice;
    });
    form->SetDetailsShower([this](HWND owner, const std::wstring& text) {
        EXPECT_EQ(owner, form->hWnd());
        details_shown.push_back(text);
    });
    ASSERT_TRUE(form->Show(SW_SHOWNORMAL));
    Settle();
}

void Form1Fixture::Settle() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool Form1Fixture::PumpUntil(const std::function<bool()>& done) {
    const ULONGLONG give_up = ::GetTickCount64() + 30'000;
    while (!done()) {
        if (::GetTickCount64() > give_up) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Settle();
    }
    return true;
}

bool Form1Fixture::WaitUntilIdle() {
    return PumpUntil([this] { return !form->Working(); });
}

RECT Form1Fixture::Outer() const {
    RECT outer{};
    ::GetWindowRect(form->hWnd(), &outer);
    return outer;
}

void Form1Fixture::DropFolders(const std::vector<std::string>& names) {
    std::vector<std::wstring> paths;
    for (const auto& name : names) {
        tree.Add({name + "/x", name + "/y"});
        paths.push_back(Dropped(name));
    }
    form->Frame2_OLEDragDrop(paths);
    ASSERT_TRUE(WaitUntilIdle());
}

void Form1Fixture::PressCtrl(WPARAM letter) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageW(List(), WM_KEYDOWN, letter, 0);
    keys[VK_CONTROL] = control;
    ::SetKeyboardState(keys);
}

std::wstring Form1Fixture::Dropped(const std::string& relative) const {
    std::wstring path = Utf16FromUtf8(tree.Path(relative)).value();
    constexpr std::wstring_view kLongPrefix = LR"(\\?\)";
    return path.starts_with(kLongPrefix) ? path.substr(kLongPrefix.size()) : path;
}

}  // namespace karuneo::win32
