#include "window/win32/form1.h"

#include <windowsx.h>
// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include "engine/journal/journal_file.h"
#include "results/win32/details_box.h"
#include "window/rules/form_design.h"
#include "window/rules/layout_rules.h"
#include "window/rules/twips_at_dpi.h"
#include "window/rules/window_settings.h"
#include "window/win32/history_dialog.h"
#include "window/win32/posted_work.h"
#include "window/win32/wide_text.h"
#include "window/win32/window_hook.h"
#include "window/worker/folder_work.h"

namespace karuneo::win32 {
namespace {

using form_design::kDesignClientHeight;
using form_design::kDesignClientWidth;
using form_design::kFrame1Place;
using form_design::kFrame2Place;
using form_design::kLabel1Place;

constexpr wchar_t kForm1ClassName[] = L"KaruneoForm1";
constexpr int kIconResource = 1;

// The list sits at its place inside Frame1, but as Frame1's sibling above
// it: a list inside a group box does not get painted reliably.
constexpr TwipRect kListView1Place{kFrame1Place.left + form_design::kListView1Place.left,
                                   kFrame1Place.top + form_design::kListView1Place.top,
                                   form_design::kListView1Place.width,
                                   form_design::kListView1Place.height};

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;

void Place(HWND control, const TwipRect& place, int dpi) {
    ::SetWindowPos(control, nullptr, TwipsToPixelsAt(place.left, dpi),
                   TwipsToPixelsAt(place.top, dpi), TwipsToPixelsAt(place.width, dpi),
                   TwipsToPixelsAt(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateChild(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, int id) {
    return ::CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

HICON LoadAppIcon(int metric_x, int metric_y) {
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                     ::GetSystemMetrics(metric_x), ::GetSystemMetrics(metric_y), LR_DEFAULTCOLOR));
}

bool RegisterFormClass(WNDPROC procedure) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), kForm1ClassName, &form)) {
        return true;
    }
    form.lpfnWndProc = procedure;
    form.hInstance = ::GetModuleHandleW(nullptr);
    form.hIcon = LoadAppIcon(SM_CXICON, SM_CYICON);
    form.hIconSm = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kForm1ClassName;
    return ::RegisterClassExW(&form) != 0;
}

HMENU CreateEditMenu() {
    HMENU bar = ::CreateMenu();
    HMENU edit = ::CreatePopupMenu();
    const auto add = [edit](UINT command, std::string_view caption, const wchar_t* key) {
        ::AppendMenuW(edit, MF_STRING, command, (Wide(caption) + key).c_str());
    };
    add(kMnu元に戻す, form_design::kMnu元に戻すCaption, L"\tCtrl+Z");
    add(kMnu詳細, form_design::kMnu詳細Caption, L"\tEnter");
    add(kMnuコピー, form_design::kMnuコピーCaption, L"\tCtrl+C");
    ::AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    add(kMnu履歴, form_design::kMnu履歴Caption, L"");
    add(kMnu削除, form_design::kMnu削除Caption, L"");
    ::AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    add(kMnu展開, form_design::kMnu展開Caption, L"");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit),
                  Wide(form_design::kMnu編集Caption).c_str());
    return bar;
}

// A pop-up menu closes on a click elsewhere only while its owner is the
// foreground window, and the message after it lets the menu go at once.
UINT TrackMenu(HMENU menu, POINT at, HWND owner) {
    ::SetForegroundWindow(owner);
    const auto chosen = static_cast<UINT>(
        ::TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

void ShowDetailsBox(HWND owner, const std::wstring& text) {
    ShowDetails(owner, Wide(form_design::kDetailsTitle), text);
}

void Enable(HMENU menu, UINT command, bool enabled) {
    ::EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The top of the rows' area: below the header, which would hide a menu
// opened at the list's own top.
int BelowHeader(HWND list) {
    const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT place{};
    if (header == nullptr || !::IsWindowVisible(header) || !::GetWindowRect(header, &place)) {
        return 0;
    }
    ::MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&place), 2);
    return place.bottom;
}

// Where a menu opened from the keyboard appears: below the focused row, or
// at the top left corner of the rows' area when there is none.
POINT KeyboardMenuPoint(HWND list) {
    POINT at{0, BelowHeader(list)};
    const auto focused =
        ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    RECT row{};
    row.left = LVIR_BOUNDS;
    if (focused >= 0 && ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused),
                                       reinterpret_cast<LPARAM>(&row))) {
        at = {row.left, row.bottom};
    }
    ::ClientToScreen(list, &at);
    return at;
}

}  // namespace

Form1::Form1(SettingsStore& settings, FileSystemFactory make_file_system)
    : settings_(settings),
      make_file_system_(std::move(make_file_system)),
      choose_from_menu_([this](HMENU menu, POINT at) { return TrackMenu(menu, at, window_); }),
      show_details_(ShowDetailsBox),
      journal_folder_(journal::DefaultJournalFolder()),
      Frame2_([this](const std::vector<std::wstring>& paths) { Frame2_OLEDragDrop(paths); },
              [this] {
                  cmd中止_Click();
                  // Esc must reach the list again, not the button.
                  ::SetFocus(ListView1.Handle());
              }) {}

Form1::~Form1() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
    if (mnu編集 != nullptr) {
        ::DestroyMenu(mnu編集);
    }
}

Form1* Form1::FromHandle(HWND window) {
    return reinterpret_cast<Form1*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool Form1::Show(int show_command) {
    if (!RegisterFormClass(&Form1::FormProc)) {
        return false;
    }
    ::CreateWindowExW(0, kForm1ClassName, Wide(form_design::kForm1Caption).c_str(), kFormStyle,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                      ::GetModuleHandleW(nullptr), this);
    if (window_ == nullptr || !CreateControls()) {
        return false;
    }
    thread_ = ::GetCurrentThreadId();
    session_ =
        std::make_unique<WorkSession>(static_cast<WorkView&>(*this), PostingTo(window_),
                                      make_file_system_, JournaledSessionWork(journal_folder_));
    taskbar_button_created_ = TaskbarProgress::ListenForButton(window_);
    Form_Load();
    // The first sizing pass, which creates the columns, comes before the
    // window is seen.
    Form_Resize();
    ::ShowWindow(window_, geometry_->ShowsMaximized() ? SW_SHOWMAXIMIZED : show_command);
    ::UpdateWindow(window_);
    // Drawn: from now on the work may start.
    session_->Start();
    return true;
}

bool Form1::CreateControls() {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    RECT design{0, 0, TwipsToPixelsAt(kDesignClientWidth, dpi),
                TwipsToPixelsAt(kDesignClientHeight, dpi)};
    ::AdjustWindowRectExForDpi(&design, kFormStyle, FALSE, 0, static_cast<UINT>(dpi));
    ::SetWindowPos(window_, nullptr, 0, 0, design.right - design.left, design.bottom - design.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Created in tab order; only the list takes the focus.
    Frame1 = CreateChild(window_, L"BUTTON", Wide(form_design::kFrame1Caption).c_str(),
                         WS_CLIPSIBLINGS | BS_GROUPBOX, kFrame1);
    Frame2_.Create(window_, kFrame2, Wide(form_design::kFrame2Caption).c_str());
    Label1 = CreateChild(window_, L"STATIC", Wide(form_design::kLabel1Caption).c_str(),
                         WS_CLIPSIBLINGS | SS_LEFT, kLabel1);
    ListView1.Create(window_, kListView1);
    if (Frame1 == nullptr || Frame2_.Handle() == nullptr || Label1 == nullptr ||
        ListView1.Handle() == nullptr) {
        return false;
    }
    // The list above the frames, the label below them: the label's designed
    // place overlaps Frame1's left edge by a twip or so, and must not hide it.
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(ListView1.Handle(), HWND_TOP, 0, 0, 0, 0, kOrderOnly);
    ::SetWindowPos(Label1, HWND_BOTTOM, 0, 0, 0, 0, kOrderOnly);
    mnu編集 = CreateEditMenu();
    PlaceControls();
    ApplyFonts();
    geometry_ = std::make_unique<Win32WindowGeometry>(window_);
    layout_ = std::make_unique<Win32ResultsLayout>(Frame1, ListView1);
    return true;
}

void Form1::PlaceControls() {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    Place(Frame1, kFrame1Place, dpi);
    Place(Frame2_.Handle(), kFrame2Place, dpi);
    Place(Label1, kLabel1Place, dpi);
    Place(ListView1.Handle(), kListView1Place, dpi);
}

void Form1::ApplyFonts() {
    const int dpi = static_cast<int>(::GetDpiForWindow(window_));
    const int title_room = TwipsToPixelsAt(kFrame2Place.width, dpi) - ::MulDiv(16, dpi, 96);
    message_font_ = MessageFont(dpi);
    title_font_ = MessageFontFitting(Wide(form_design::kFrame2Caption), title_room, dpi);
    arrow_font_ = ArrowFont(dpi);
    const auto set_font = [](HWND control, const Font& font) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    };
    set_font(Frame1, message_font_);
    set_font(Frame2_.Handle(), title_font_);
    Frame2_.Progress().SetFont(message_font_.Get());
    set_font(Label1, arrow_font_);
    set_font(ListView1.Handle(), message_font_);
}

void Form1::Form_Load() {
    const bool extract = LoadExtractArchives(settings_);
    ::CheckMenuItem(::GetSubMenu(mnu編集, 0), kMnu展開,
                    MF_BYCOMMAND | (extract ? MF_CHECKED : MF_UNCHECKED));
    session_->ExtractArchives(extract);
    RestoreWindowSettings(settings_, *geometry_,
                          ScreenAreas(static_cast<int>(::GetDpiForWindow(window_))));
    ApplyLoadLayout(geometry_->Outer(), *layout_);
    HookWindow(window_);
    hooked_ = true;
    loaded_ = true;
}

void Form1::Form_Resize() {
    sizing_pass_.Run(*geometry_, *layout_, settings_);
}

void Form1::Form_Move() {
    // Windows may report the move after the size: a maximised window then
    // must keep saying so, and a minimised one must not save its parking place.
    SaveWindowState(*geometry_, settings_);
}

void Form1::Form_Unload() {
    if (hooked_) {
        UnhookWindow(window_);
        hooked_ = false;
    }
}

void Form1::ShowContextMenu(LPARAM at) {
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    // From the keyboard the menu is about the focused row; from the mouse,
    // about the row under the pointer, or none below the last row.
    std::optional<std::string> folder;
    std::optional<ShownRow> row;
    if (at == -1) {
        point = KeyboardMenuPoint(ListView1.Handle());
        folder = ListView1.FocusedDroppedPath();
        row = ListView1.FocusedShownRow();
    } else {
        folder = ListView1.DroppedPathAt(point);
        row = ListView1.ShownRowAt(point);
    }
    HMENU menu = ::GetSubMenu(mnu編集, 0);
    Enable(menu, kMnu元に戻す, folder.has_value());
    Enable(menu, kMnu詳細, row.has_value());
    Enable(menu, kMnuコピー, !ListView1.SelectedShownRows().empty());
    Enable(menu, kMnu削除, ListView_GetItemCount(ListView1.Handle()) > 0);
    switch (choose_from_menu_(menu, point)) {
        case kMnu元に戻す:
            mnu元に戻す_Click(folder);
            break;
        case kMnu詳細:
            mnu詳細_Click(row);
            break;
        case kMnuコピー:
            mnuコピー_Click();
            break;
        case kMnu削除:
            mnu削除_Click();
            break;
        case kMnu履歴:
            mnu履歴_Click();
            break;
        case kMnu展開:
            mnu展開_Click();
            break;
        default:
            break;
    }
}

// The kept runs; what the user chooses there is queued as any work is.
void Form1::mnu履歴_Click() {
    const auto choice = ShowHistoryDialog(window_, journal_folder_);
    if (!choice || session_ == nullptr) {
        return;
    }
    if (auto job = JobForChoice(*choice, journal_folder_)) {
        session_->AddJob(*std::move(job));
    }
}

void Form1::mnu削除_Click() {
    ListView1.RemoveAllRows();
}

void Form1::mnu元に戻す_Click(const std::optional<std::string>& folder) {
    if (folder && session_ != nullptr) {
        session_->Undo(*folder);
    }
}

void Form1::mnu詳細_Click(const std::optional<ShownRow>& row) {
    if (row) {
        show_details_(window_, Wide(DetailsText(*row)));
    }
}

void Form1::mnuコピー_Click() {
    ListView1.CopySelectedRows();
}

// Drops from now on; what waits keeps what held when it was dropped.
void Form1::mnu展開_Click() {
    if (session_ == nullptr) {
        return;
    }
    const bool extract = !session_->ExtractsArchives();
    ::CheckMenuItem(::GetSubMenu(mnu編集, 0), kMnu展開,
                    MF_BYCOMMAND | (extract ? MF_CHECKED : MF_UNCHECKED));
    session_->ExtractArchives(extract);
    SaveExtractArchives(settings_, extract);
}

void Form1::RepaintFrames() {
    // A group box draws its edges but never fills its inside, so the edges
    // it had before growing would stay drawn there: the window erases all
    // but the list, which repaints itself.
    RECT client{};
    ::GetClientRect(window_, &client);
    RECT list{};
    ::GetWindowRect(ListView1.Handle(), &list);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&list), 2);
    HRGN area = ::CreateRectRgnIndirect(&client);
    HRGN list_area = ::CreateRectRgnIndirect(&list);
    ::CombineRgn(area, area, list_area, RGN_DIFF);
    ::RedrawWindow(window_, nullptr, area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    ::DeleteObject(list_area);
    ::DeleteObject(area);
}

void Form1::Form_QueryUnload() {
    // Closed while working: the window goes once the worker has stopped,
    // which it does between two entries, and the window thread never waits
    // for it meanwhile.
    if (session_ != nullptr && !session_->Close()) {
        return;
    }
    Form_Unload();
    ::DestroyWindow(window_);
}

void Form1::BringToFront() {
    if (::IsIconic(window_)) {
        ::ShowWindow(window_, SW_RESTORE);
    }
    ::SetForegroundWindow(window_);
}

void Form1::OnDpiChanged(const RECT& suggested) {
    PlaceControls();
    ApplyFonts();
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // Frame1 and the list were put back to their design size; this lays
    // them out again even when the size in pixels stayed the same.
    Form_Resize();
}

LRESULT CALLBACK Form1::FormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    Form1* form = FromHandle(window);
    if (form == nullptr) {
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    try {
        return form->Handle(message, wparam, lparam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

LRESULT Form1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            if (loaded_) {
                Form_Resize();
                RepaintFrames();
            }
            return 0;
        case WM_GETMINMAXINFO:
            if (geometry_ != nullptr) {
                const SIZE least = geometry_->MinimumSize(kMinWindowWidth, kMinWindowHeight);
                reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {least.cx, least.cy};
            }
            return 0;
        case WM_SETFOCUS:
            ::SetFocus(ListView1.Handle());
            return 0;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wparam) == ListView1.Handle()) {
                ShowContextMenu(lparam);
                return 0;
            }
            break;
        case WM_NOTIFY:
            OnListKey(*reinterpret_cast<const NMHDR*>(lparam));
            ListView1.OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_ESCAPE) {
                cmd中止_Click();
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (SetWorkingPointer(lparam)) {
                return TRUE;
            }
            break;
        case WM_TIMER:
            if (session_ != nullptr) {
                session_->Tick();
            }
            return 0;
        case kCallPosted:
            RunPosted(lparam);
            return 0;
        case WM_COPYDATA:
            return TakeFolders(*reinterpret_cast<const COPYDATASTRUCT*>(lparam)) ? TRUE : FALSE;
        case WM_COMMAND:
            if (lparam == 0 && LOWORD(wparam) == kMnu履歴) {
                mnu履歴_Click();
                return 0;
            }
            if (lparam == 0 && LOWORD(wparam) == kMnu削除) {
                mnu削除_Click();
                return 0;
            }
            if (lparam == 0 && LOWORD(wparam) == kMnu元に戻す) {
                mnu元に戻す_Click(RowToUndo());
                return 0;
            }
            if (lparam == 0 && LOWORD(wparam) == kMnu詳細) {
                mnu詳細_Click(ListView1.FocusedShownRow());
                return 0;
            }
            if (lparam == 0 && LOWORD(wparam) == kMnuコピー) {
                mnuコピー_Click();
                return 0;
            }
            if (lparam == 0 && LOWORD(wparam) == kMnu展開) {
                mnu展開_Click();
                return 0;
            }
            break;
        case WM_DPICHANGED:
            OnDpiChanged(*reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE:
            Form_QueryUnload();
            return 0;
        case WM_DESTROY:
            Form_Unload();
            if (quit_on_close_) {
                ::PostQuitMessage(0);
            }
            return 0;
        case WM_NCDESTROY:
            // Destroyed while working (not closed): the worker stops between
            // two entries; then nothing more can be posted, and what was is
            // freed here.
            session_.reset();
            DiscardPosted(window_);
            ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            loaded_ = false;
            return 0;
        default:
            if (message == taskbar_button_created_ && message != 0) {
                taskbar_.Connect(window_);
                return 0;
            }
            break;
    }
    return ::DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace karuneo::win32
