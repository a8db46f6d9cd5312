#include "tests/window/win32/form1_fixture.h"

#include "engine/native_file_system.h"
#include "engine/win32/utf16.h"

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
    form.reset();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}

void Form1Fixture::Store(std::initializer_list<std::pair<const char*, const char*>> values) {
    for (const auto& [name, value] : values) {
        store.Write("Main", name, value);
    }
}

void Form1Fixture::Open() {
    // The factory is called once the pointer should already be the hourglass.
    form = std::make_unique<Form1>(store, [this] {
        cursor_at_work = ::GetCursor();
        return MakeNativeFileSystem();
    });
    form->SetMenuChooser([this](HMENU menu, POINT at) {
        EXPECT_EQ(::GetMenuItemCount(menu), 1);
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"リスト全削除");
        menu_points.push_back(at);
        return menu_choice;
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

RECT Form1Fixture::Outer() const {
    RECT outer{};
    ::GetWindowRect(form->hWnd(), &outer);
    return outer;
}

std::wstring Form1Fixture::Dropped(const std::string& relative) const {
    std::wstring path = Utf16FromUtf8(tree.Path(relative)).value();
    constexpr std::wstring_view kLongPrefix = LR"(\\?\)";
    return path.starts_with(kLongPrefix) ? path.substr(kLongPrefix.size()) : path;
}

}  // namespace karuneo::win32
