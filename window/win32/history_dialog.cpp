#include "window/win32/history_dialog.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "window/win32/dpi_scaled.h"
#include "window/win32/wide_text.h"

namespace karuneo::win32 {
namespace {

constexpr wchar_t kHistoryClassName[] = L"KaruneoHistory";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The design at 96 dots per inch, in pixels.
constexpr int kWidth = 760;
constexpr int kHeight = 420;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 26;
constexpr int kTimeWidth = 150;
constexpr int kStateWidth = 120;

struct ButtonDesign {
    int id;
    std::string_view caption;
};
constexpr std::array<ButtonDesign, 4> kButtons{{
    {HistoryDialog::kUndo, history_design::kUndoCaption},
    {HistoryDialog::kFinish, history_design::kFinishCaption},
    {HistoryDialog::kForget, history_design::kForgetCaption},
    {IDCANCEL, history_design::kCloseCaption},
}};

bool AskYesNo(HWND owner, const std::wstring& question) {
    return ::MessageBoxW(owner, question.c_str(), Wide(history_design::kForgetTitle).c_str(),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool RegisterDialogClass(WNDPROC procedure) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    if (::GetClassInfoExW(::GetModuleHandleW(nullptr), kHistoryClassName, &type)) {
        return true;
    }
    type.lpfnWndProc = procedure;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kHistoryClassName;
    return ::RegisterClassExW(&type) != 0;
}

HWND CreateControl(HWND parent, const wchar_t* type, const std::wstring& text, DWORD style, int id,
                   DWORD extended = 0) {
    return ::CreateWindowExW(extended, type, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                             0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

void SetCell(HWND list, int item, int column, const std::string& text) {
    std::wstring wide = Wide(text);
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

HistoryDialog::HistoryDialog(std::string journal_folder)
    : history_(std::move(journal_folder)), confirm_(AskYesNo) {}

HistoryDialog::~HistoryDialog() {
    if (window_ != nullptr) {
        ::DestroyWindow(window_);
    }
}

bool HistoryDialog::Create(HWND owner) {
    if (!RegisterDialogClass(&DialogProc)) {
        return false;
    }
    owner_ = owner;
    ::CreateWindowExW(kExtendedStyle, kHistoryClassName, Wide(history_design::kCaption).c_str(),
                      kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner, nullptr,
                      ::GetModuleHandleW(nullptr), this);
    if (window_ == nullptr || !CreateControls()) {
        return false;
    }
    FitToScreen(owner);
    Reload();
    ::ShowWindow(window_, SW_SHOW);
    ::SetFocus(list_);
    return true;
}

bool HistoryDialog::CreateControls() {
    font_ = MessageFont(static_cast<int>(::GetDpiForWindow(window_)));
    list_ = CreateControl(window_, WC_LISTVIEWW, L"",
                          WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, kList,
                          WS_EX_CLIENTEDGE);
    if (list_ == nullptr) {
        return false;
    }
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    const std::array<std::string_view, 3> columns{
        history_design::kFolderColumn, history_design::kTimeColumn, history_design::kStateColumn};
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        std::wstring title = Wide(columns[static_cast<std::size_t>(i)]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = title.data();
        column.iSubItem = i;
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&column));
    }
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    for (const auto& button : kButtons) {
        HWND control = CreateControl(window_, L"BUTTON", Wide(button.caption),
                                     WS_TABSTOP | BS_PUSHBUTTON, button.id);
        if (control == nullptr) {
            return false;
        }
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
    return true;
}

// Centred on the owner's screen at its designed size, never beyond the
// screen's work area.
void HistoryDialog::FitToScreen(HWND owner) {
    HMONITOR monitor =
        ::MonitorFromWindow(owner != nullptr ? owner : window_, MONITOR_DEFAULTTONEAREST);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(monitor, &screen);
    const RECT& work = screen.rcWork;
    const int width = std::min<int>(DpiScaled(kWidth, window_), (work.right - work.left) * 9 / 10);
    const int height =
        std::min<int>(DpiScaled(kHeight, window_), (work.bottom - work.top) * 9 / 10);
    ::SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls();
}

// The list fills the dialog above one row of buttons, which keep to the
// right; the folder's column takes what the time and the state leave.
void HistoryDialog::PlaceControls() {
    RECT client{};
    ::GetClientRect(window_, &client);
    const int margin = DpiScaled(kMargin, window_);
    const int button_width = DpiScaled(kButtonWidth, window_);
    const int button_height = DpiScaled(kButtonHeight, window_);
    const int buttons_top = client.bottom - margin - button_height;
    ::SetWindowPos(list_, nullptr, margin, margin, std::max<int>(0, client.right - 2 * margin),
                   std::max(0, buttons_top - 2 * margin), SWP_NOZORDER | SWP_NOACTIVATE);
    int left = client.right - margin - static_cast<int>(kButtons.size()) * (button_width + margin) +
               margin;
    for (const auto& button : kButtons) {
        ::SetWindowPos(Control(button.id), nullptr, left, buttons_top, button_width, button_height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        left += button_width + margin;
    }
    const int time = DpiScaled(kTimeWidth, window_);
    const int state = DpiScaled(kStateWidth, window_);
    RECT rows{};
    ::GetClientRect(list_, &rows);
    ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, std::max<int>(time, rows.right - time - state));
    ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, 1, time);
    ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, 2, state);
}

void HistoryDialog::Reload() {
    history_.Reload();
    Fill();
}

void HistoryDialog::Fill() {
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    const auto& rows = history_.Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        std::wstring folder = Wide(rows[i].shown_folder);
        item.pszText = folder.data();
        const auto at = static_cast<int>(
            ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        SetCell(list_, at, 1, rows[i].time);
        SetCell(list_, at, 2, rows[i].state);
    }
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
    UpdateButtons();
}

void HistoryDialog::SortBy(int column) {
    const std::string selected = Selected() != nullptr ? Selected()->journal : std::string();
    history_.SortBy(static_cast<HistoryColumn>(column));
    Fill();
    SelectJournal(selected);
}

void HistoryDialog::SelectJournal(const std::string& journal) {
    const auto at = history_.IndexOf(journal);
    if (!at) {
        return;
    }
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, *at, reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(list_, LVM_ENSUREVISIBLE, *at, FALSE);
}

const HistoryRow* HistoryDialog::Selected() const {
    return history_.At(
        ::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void HistoryDialog::UpdateButtons() {
    const HistoryRow* row = Selected();
    for (const auto& [id, action] :
         {std::pair{kUndo, HistoryAction::kUndo}, std::pair{kFinish, HistoryAction::kFinish},
          std::pair{kForget, HistoryAction::kForget}}) {
        ::EnableWindow(Control(id), Enables(row, action));
    }
}

void HistoryDialog::OnCommand(int id) {
    switch (id) {
        case kUndo:
            Choose(HistoryAction::kUndo);
            break;
        case kFinish:
            Choose(HistoryAction::kFinish);
            break;
        case kForget:
            Forget();
            break;
        case IDCANCEL:
            Close();
            break;
        default:
            break;
    }
}

void HistoryDialog::Choose(HistoryAction action) {
    const HistoryRow* row = Selected();
    if (!Enables(row, action)) {
        return;
    }
    choice_ = ChoiceOf(*row, action);
    Close();
}

// The owner is enabled before the dialog goes, so that Windows gives it the
// activation back rather than to another program's window.
void HistoryDialog::Close() {
    if (owner_disabled_) {
        ::EnableWindow(owner_, TRUE);
        owner_disabled_ = false;
    }
    ::DestroyWindow(window_);
}

void HistoryDialog::Forget() {
    const HistoryRow* row = Selected();
    if (row == nullptr || !row->can_forget ||
        !confirm_(window_, Wide(history_design::ForgetQuestion(*row)))) {
        return;
    }
    const std::string journal = row->journal;
    if (!ForgetRun(*row)) {
        ::MessageBoxW(window_, Wide(history_design::kForgetFailed).c_str(),
                      Wide(history_design::kForgetTitle).c_str(), MB_OK | MB_ICONWARNING);
    }
    Reload();
    SelectJournal(journal);
}

LRESULT CALLBACK HistoryDialog::DialogProc(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<HistoryDialog*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        created->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* dialog = reinterpret_cast<HistoryDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (dialog == nullptr) {
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
    try {
        return dialog->Handle(message, wparam, lparam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

LRESULT HistoryDialog::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    HWND self = window_;
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED) {
                OnCommand(LOWORD(wparam));
            }
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == kList && header->code == LVN_ITEMCHANGED) {
                UpdateButtons();
            } else if (header->idFrom == kList && header->code == LVN_COLUMNCLICK) {
                SortBy(reinterpret_cast<const NMLISTVIEW*>(lparam)->iSubItem);
            }
            return 0;
        }
        case WM_SIZE:
            PlaceControls();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            limits->ptMinTrackSize = {DpiScaled(kWidth / 2, window_),
                                      DpiScaled(kHeight / 2, window_)};
            return 0;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(self, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(self, message, wparam, lparam);
}

std::optional<HistoryChoice> HistoryDialog::RunModal() {
    owner_disabled_ = owner_ != nullptr && !::EnableWindow(owner_, FALSE);
    MSG message{};
    while (window_ != nullptr) {
        if (::GetMessageW(&message, nullptr, 0, 0) <= 0) {
            // The program ends: the loop that ends it must see the quit too.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            Close();
            break;
        }
        if (!::IsDialogMessageW(window_, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return choice_;
}

std::optional<HistoryChoice> ShowHistoryDialog(HWND owner, const std::string& journal_folder) {
    HistoryDialog dialog(journal_folder);
    if (!dialog.Create(owner)) {
        return std::nullopt;
    }
    return dialog.RunModal();
}

}  // namespace karuneo::win32
