// Drops on the real Form1: through WM_DROPFILES and through the OLE drop
// target, read back from the list and the disk.
#include <gtest/gtest.h>
#include <windows.h>
// windows.h first: these rely on its types.
#include <commctrl.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "app/win32/start_up_paths.h"
#include "tests/support/win32/shell_drop.h"
#include "tests/window/win32/form1_fixture.h"
#include "window/win32/drop_area.h"

namespace karuneo::win32 {
namespace {

using testing::WideRow;

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// What the test tree cannot remove past 260 characters: the file and the
// three folders above it.
void RemoveDeep(std::wstring folder) {
    ::DeleteFileW((folder + L"\\f").c_str());
    for (int level = 0; level < 3; ++level) {
        ::RemoveDirectoryW(folder.c_str());
        folder.resize(folder.find_last_of(L'\\'));
    }
}

enum class Delivery { kDropFiles, kOleDrop, kStartUp };

class Form1DropTest : public Form1Fixture, public ::testing::WithParamInterface<Delivery> {
  protected:
    void Deliver(const std::vector<std::wstring>& paths) {
        HWND frame2 = Child(kFrame2);
        switch (GetParam()) {
            case Delivery::kDropFiles:
                ::SendMessageW(frame2, WM_DROPFILES,
                               reinterpret_cast<WPARAM>(testing::MakeHdrop(paths)), 0);
                break;
            case Delivery::kOleDrop: {
                IDataObject* data = testing::MakeDataObject(&paths);
                IDropTarget* target = form->Frame2().Target();
                DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
                ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, {10, 10}, &effect), S_OK);
                effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
                ASSERT_EQ(target->Drop(data, 0, {10, 10}, &effect), S_OK);
                EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "never a move";
                data->Release();
                break;
            }
            case Delivery::kStartUp: {
                // As karuneo.exe gets them on its command line.
                std::wstring command_line = L"karuneo.exe";
                for (const auto& path : paths) {
                    command_line += L" \"" + path + L"\"";
                }
                form->Frame2_OLEDragDrop(StartUpPaths(command_line.c_str()));
                break;
            }
        }
    }
};

TEST_P(Form1DropTest, ProcessesFoldersInOrderAndSkipsWhatIsNoFolder) {
    const std::string below_deep =
        std::string(100, 'x') + "/" + std::string(100, 'y') + "/" + std::string(70, 'z');
    const std::string long_name = "deep/" + below_deep;
    tree.Add({"chain/A/B/f1", "chain/A/B/f2", "plain.txt", "資料/写真/犬.jpg", "untouched/x",
              "untouched/y", long_name + "/A/f"});
    const std::vector<std::wstring> paths{Dropped("untouched"), Dropped("chain"),
                                          Dropped("plain.txt"), Dropped("資料"),
                                          Dropped("missing"),   Dropped(long_name)};
    ASSERT_GT(paths.back().size(), 260u);
    Open();

    Deliver(paths);

    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(Rows(), (std::vector<WideRow>{{L"untouched", L"未処理"},
                                            {L"chain", L"完了"},
                                            {L"資料", L"完了"},
                                            {std::wstring(70, L'z'), L"完了"}}));
    EXPECT_EQ(testing::Layout(tree.Take("chain")),
              testing::Layout(testing::Described({"f1", "f2"})));
    EXPECT_EQ(tree.Take("資料").count("犬.jpg"), 1u);
    // Listing trees this deep fails in the C++ library of mingw-w64; the
    // calls of the system do not.
    const std::wstring long_folder = LR"(\\?\)" + paths.back();
    EXPECT_TRUE(Exists(long_folder + L"\\f"));
    EXPECT_FALSE(Exists(long_folder + L"\\A"));
    RemoveDeep(long_folder);
    EXPECT_EQ(tree.Take("untouched").size(), 2u);
    EXPECT_NE(walk_thread, ::GetCurrentThreadId()) << "the walk kept the window from its messages";
    EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_APPSTARTING))
        << "the working pointer stayed";
}

TEST_P(Form1DropTest, AnEmptyListChangesNothing) {
    Open();
    Deliver({});
    EXPECT_FALSE(form->Working());
    EXPECT_TRUE(Rows().empty());
    EXPECT_NE(::GetCursor(), ::LoadCursorW(nullptr, IDC_APPSTARTING));
}

std::string DeliveryName(const ::testing::TestParamInfo<Delivery>& delivery) {
    constexpr const char* kDeliveries[] = {"WmDropFiles", "OleDrop", "CommandLine"};
    return kDeliveries[static_cast<int>(delivery.param)];
}

INSTANTIATE_TEST_SUITE_P(Deliveries, Form1DropTest,
                         ::testing::Values(Delivery::kDropFiles, Delivery::kOleDrop,
                                           Delivery::kStartUp),
                         DeliveryName);

class Form1DragTest : public Form1Fixture {};

TEST_F(Form1DragTest, OnlyFileListsAreTakenAndHighlightTheDropArea) {
    Open();
    IDropTarget* target = form->Frame2().Target();
    const std::vector<std::wstring> paths{L"C:\\x"};
    IDataObject* files = testing::MakeDataObject(&paths);
    IDataObject* text = testing::MakeDataObject(nullptr);

    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragEnter(text, MK_LBUTTON, {5, 5}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_FALSE(form->Frame2().IsHighlighted());
    target->DragLeave();

    effect = DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragEnter(files, MK_LBUTTON, {5, 5}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK)) << "a move would let the source delete";
    EXPECT_TRUE(form->Frame2().IsHighlighted());
    target->DragLeave();
    EXPECT_FALSE(form->Frame2().IsHighlighted());

    files->Release();
    text->Release();
}

TEST_F(Form1DragTest, TheDropAreaCanBeFoundByTheMouse) {
    Open();
    RECT frame{};
    ::GetWindowRect(Child(kFrame2), &frame);
    const LPARAM inside = MAKELPARAM(frame.left + 40, frame.top + 60);
    EXPECT_EQ(::SendMessageW(Child(kFrame2), WM_NCHITTEST, 0, inside), HTCLIENT);
}

}  // namespace
}  // namespace karuneo::win32
