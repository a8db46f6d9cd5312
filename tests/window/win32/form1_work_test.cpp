// Form1 while the worker is busy: drops return at once and queue up in
// order, the drop area shows progress, Esc, 中止 and closing stop the walk
// between two entries (the first two put the folder back), and a second
// start's folders arrive as WM_COPYDATA.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/win32/start_up_paths.h"
#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "tests/support/win32/shell_drop.h"
#include "tests/window/win32/form1_fixture.h"
#include "window/rules/handoff_message.h"
#include "window/win32/copy_data_handoff.h"
#include "window/win32/progress_panel.h"

namespace karuneo::win32 {
namespace {

using testing::WideRow;

std::wstring TextOf(HWND control) {
    wchar_t text[256] = {};
    ::GetWindowTextW(control, text, 256);
    return text;
}

class Form1WorkTest : public Form1Fixture {
  protected:
    const ProgressPanel& Progress() const { return form->Frame2().Progress(); }
    HCURSOR PointerInside() {
        ::SetCursor(nullptr);
        ::SendMessageW(form->hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form->hWnd()),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    }
    std::wstring Tip(int row) {
        wchar_t tip[INFOTIPSIZE] = L"";
        NMLVGETINFOTIPW request{};
        request.hdr = {List(), static_cast<UINT_PTR>(kListView1),
                       static_cast<UINT>(LVN_GETINFOTIPW)};
        request.pszText = tip;
        request.cchTextMax = INFOTIPSIZE;
        request.iItem = row;
        ::SendMessageW(form->hWnd(), WM_NOTIFY, kListView1, reinterpret_cast<LPARAM>(&request));
        return tip;
    }
    void OleDrop(const std::vector<std::wstring>& paths) {
        IDataObject* data = testing::MakeDataObject(&paths);
        IDropTarget* target = form->Frame2().Target();
        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, {10, 10}, &effect), S_OK);
        ASSERT_EQ(target->Drop(data, 0, {10, 10}, &effect), S_OK);
        data->Release();
    }
};

TEST_F(Form1WorkTest, TheDropReturnsAtOnceAndTheDropAreaShowsProgressUntilTheRowsAreIn) {
    tree.Add({"chain/A/f", "next/A/g"});
    Open();
    HoldWalks();

    OleDrop({Dropped("chain"), Dropped("next")});

    EXPECT_TRUE(Rows().empty()) << "the drop waited for the walk";
    EXPECT_TRUE(form->Working());
    ASSERT_TRUE(PumpUntil([&] { return TextOf(Progress().Line(0)) == L"処理中: chain"; }));
    EXPECT_EQ(TextOf(Progress().Line(2)), L"あと 1 フォルダ");
    EXPECT_TRUE(::IsWindowVisible(Progress().StopButton()));
    EXPECT_TRUE(::GetWindowLongPtrW(Progress().Bar(), GWL_STYLE) & PBS_MARQUEE)
        << "no total is known before the walk has listed the folder";
    EXPECT_EQ(TextOf(Child(kFrame2)), L"↓ココへドラッグしてください↓");
    EXPECT_EQ(PointerInside(), ::LoadCursorW(nullptr, IDC_APPSTARTING));

    ReleaseWalks();
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"chain", L"完了"}, {L"next", L"完了"}}));
    EXPECT_NE(walk_thread, ::GetCurrentThreadId());
    EXPECT_FALSE(Progress().Shown());
    EXPECT_FALSE(::IsWindowVisible(Progress().StopButton()));
    EXPECT_FALSE(::IsWindowVisible(Progress().Line(0)));
    EXPECT_EQ(PointerInside(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(Form1WorkTest, FoldersFromTheCommandLineAndEveryDropAreDoneInTheOrderTheyCame) {
    tree.Add({"a/A/f", "b/x", "b/y", "c/C/g", "d/D/h", "e/x", "e/y"});
    Open();
    HoldWalks();
    const std::wstring command_line =
        L"karuneo.exe \"" + Dropped("a") + L"\" \"" + Dropped("b") + L"\"";
    form->Frame2_OLEDragDrop(StartUpPaths(command_line.c_str()));
    ::SendMessageW(Child(kFrame2), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(testing::MakeHdrop({Dropped("c")})), 0);
    OleDrop({Dropped("d")});
    ReleaseWalks();
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() >= 3; }));
    OleDrop({Dropped("e")});  // while the first drops are still at work or just done

    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"a", L"完了"},
                                            {L"b", L"未処理"},
                                            {L"c", L"完了"},
                                            {L"d", L"完了"},
                                            {L"e", L"未処理"}}));
}

// Walks that stop in the middle of moving "big": the fifth entry waits
// until the test lets it go.
class Form1StopTest : public Form1WorkTest, public ::testing::WithParamInterface<const char*> {
  protected:
    static constexpr int kFiles = 20;

    Form1StopTest() {
        tree.AddEmptyFiles("big/A", kFiles);
        tree.Add({"waiting/A/x"});
        before_ = tree.Take("big");
    }
    ~Form1StopTest() override {
        ::SetEvent(go_on_);
        ::CloseHandle(in_middle_);
        ::CloseHandle(go_on_);
    }
    void OpenHeldInTheMiddle() {
        Open([this] {
            const std::lock_guard lock(mutex_);
            layers_.push_back(MakeNativeFileSystem());
            auto failing = std::make_unique<testing::FailingFileSystem>(*layers_.back());
            failing->OnCall([this, moves = 0](int, testing::Operation operation) mutable {
                if (operation == testing::Operation::kMoveEntries && ++moves == 5) {
                    ::SetEvent(in_middle_);
                    ::WaitForSingleObject(go_on_, 30'000);
                }
            });
            return std::unique_ptr<FileSystem>(std::move(failing));
        });
        OleDrop({Dropped("big"), Dropped("waiting")});
        ASSERT_EQ(::WaitForSingleObject(in_middle_, 30'000), WAIT_OBJECT_0);
    }
    void Stop() {
        if (GetParam() == std::string("Esc")) {
            ::SendMessageW(List(), WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            ::SendMessageW(Child(kFrame2), WM_COMMAND,
                           MAKEWPARAM(ProgressPanel::kStopButton, BN_CLICKED),
                           reinterpret_cast<LPARAM>(Progress().StopButton()));
        }
    }
    int FilesMovedUp() {
        int files = 0;
        for (const auto& [path, what] : tree.Take("big")) {
            files += path.find('/') == std::string::npos && what.starts_with("file:") ? 1 : 0;
        }
        return files;
    }
    // Every file is still there, in "big" or in its chain under its own name.
    void ExpectNothingLost() {
        const testing::Snapshot big = tree.Take("big");
        int files = 0;
        for (const auto& [path, what] : big) {
            files += what.starts_with("file:") ? 1 : 0;
            EXPECT_TRUE(path.find('/') == std::string::npos || path.starts_with("A/")) << path;
        }
        EXPECT_EQ(files, kFiles);
        EXPECT_EQ(tree.Take("waiting").count("A/x"), 1u) << "a waiting folder was touched";
    }

    HANDLE in_middle_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE go_on_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    testing::Snapshot before_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<FileSystem>> layers_;
};

TEST_P(Form1StopTest, StopsTheFolderInHandBetweenTwoEntriesAndDropsThoseWaiting) {
    OpenHeldInTheMiddle();
    Stop();
    ::SetEvent(go_on_);

    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"big", L"エラー"}}));
    EXPECT_NE(Tip(0).find(L"作業を中止しました"), std::wstring::npos) << Tip(0);
    ExpectNothingLost();
    EXPECT_EQ(tree.Take("big"), before_) << "what had moved was not put back";
}

TEST_P(Form1StopTest, ClosingWhileWorkingStopsFirstAndThenCloses) {
    OpenHeldInTheMiddle();
    HWND window = form->hWnd();
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(window)) << "closed before the worker stopped";
    ::SetEvent(go_on_);

    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(window); }));
    ExpectNothingLost();
    // No time to put back while closing: what had moved stays moved.
    EXPECT_GT(FilesMovedUp(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, Form1StopTest, ::testing::Values("Esc", "StopButton"),
                         [](const auto& way) { return std::string(way.param); });

TEST_F(Form1WorkTest, FoldersHandedOverAsCopyDataAreQueuedAndAnythingElseRefused) {
    tree.Add({"写真/2024/a.jpg"});
    Open();
    const auto send = [&](ULONG_PTR tag, std::string bytes) {
        COPYDATASTRUCT data{tag, static_cast<DWORD>(bytes.size()), bytes.data()};
        return ::SendMessageW(form->hWnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    const std::string message = EncodeHandoff({tree.Path("写真")});
    EXPECT_EQ(send(0x1234, message), FALSE) << "another program's message";
    EXPECT_EQ(send(0x6B61726E, message.substr(0, message.size() - 1)), FALSE) << "cut short";
    EXPECT_FALSE(form->Working());

    EXPECT_TRUE(SendFolders(form->hWnd(), {tree.Path("写真")}, 5'000));
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"写真", L"完了"}}));
    EXPECT_TRUE(SendFolders(form->hWnd(), {}, 5'000)) << "none only brings the window forward";
}

}  // namespace
}  // namespace karuneo::win32
