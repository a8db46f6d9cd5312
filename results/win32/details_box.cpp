#include "results/win32/details_box.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "results/rules/details_box.h"
#include "results/win32/message_font.h"

namespace karuneo::win32 {
namespace {

constexpr int kTextId = 100;
// A line of a mail or a book: longer lines are hard to read.
constexpr int kLineCharacters = 72;
constexpr DWORD kBoxStyle = DS_MODALFRAME | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct Request {
    const std::wstring* title;
    const std::wstring* text;
    // The template's shell font has no Japanese glyphs where nothing links
    // one in (Wine); the window's own font has. Lives as long as the box.
    Font font;
};

void UseFont(HWND box, HFONT font) {
    for (const int id : {kTextId, IDOK}) {
        ::SendMessageW(::GetDlgItem(box, id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

// GCC 12 at -O2 sees the vector below grow and warns of a write past an
// allocation it has just made larger (a known false positive of
// -Wstringop-overflow with inlined vector growth).
#pragma GCC diagnostic ignored "-Wstringop-overflow"

// A dialog template in memory: the box, the text and OK. Their places
// are set once the box knows its monitor.
class Template {
  public:
    Template() {
        Align();
        AddDword(kBoxStyle);
        AddDword(0);
        words_.push_back(2);  // items
        AddPlace();
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the dialog class
        words_.push_back(0);  // no title yet
        words_.push_back(9);  // points
        AddText(L"MS Shell Dlg 2");
        AddItem(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                    ES_AUTOVSCROLL,
                WS_EX_CLIENTEDGE, kTextId, 0x0081);
        AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, 0x0080, L"OK");
    }

    LPCDLGTEMPLATEW Get() const { return reinterpret_cast<LPCDLGTEMPLATEW>(words_.data()); }

  private:
    void Align() {
        while (words_.size() % 2 != 0) {
            words_.push_back(0);
        }
    }
    void AddDword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void AddPlace() { words_.insert(words_.end(), {0, 0, 10, 10}); }
    void AddText(std::wstring_view text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }
    void AddItem(DWORD style, DWORD extended, WORD id, WORD class_atom,
                 std::wstring_view text = {}) {
        Align();
        AddDword(style);
        AddDword(extended);
        AddPlace();
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(class_atom);
        AddText(text);
        words_.push_back(0);  // no creation data
    }

    // WORDs, DWORD-aligned where the format asks; the vector's own storage
    // is aligned for far more.
    std::vector<WORD> words_;
};

std::wstring WithWindowsLineEnds(const std::wstring& text) {
    std::wstring lines;
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    return lines;
}

BoxRect ToBox(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Enough text to fill any screen: laying out the rest too (a reason can name
// thousands of entries) takes seconds, for a height the screen cuts anyway.
constexpr std::size_t kMeasuredCharacters = 8192;

// The text's size laid out in lines of readable length, in pixels.
SIZE TextSize(HWND edit, std::wstring_view text) {
    text = text.substr(0, kMeasuredCharacters);
    HDC dc = ::GetDC(edit);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
    const HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT laid_out{0, 0, metrics.tmAveCharWidth * kLineCharacters, 0};
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &laid_out,
                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
    ::SelectObject(dc, old);
    ::ReleaseDC(edit, dc);
    return {laid_out.right, laid_out.bottom + metrics.tmHeight};
}

void LayOut(HWND box, int dpi) {
    RECT client{};
    ::GetClientRect(box, &client);
    const int margin = ::MulDiv(10, dpi, 96);
    const int button_width = ::MulDiv(88, dpi, 96);
    const int button_height = ::MulDiv(26, dpi, 96);
    ::SetWindowPos(::GetDlgItem(box, kTextId), nullptr, margin, margin,
                   std::max(0, static_cast<int>(client.right) - 2 * margin),
                   std::max(0, static_cast<int>(client.bottom) - 3 * margin - button_height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(::GetDlgItem(box, IDOK), nullptr, client.right - margin - button_width,
                   client.bottom - margin - button_height, button_width, button_height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void Place(HWND box, const std::wstring& text) {
    const HWND owner = ::GetWindow(box, GW_OWNER);
    const int dpi = static_cast<int>(::GetDpiForWindow(box));
    const SIZE wanted_text = TextSize(::GetDlgItem(box, kTextId), text);
    const int margin = ::MulDiv(10, dpi, 96);
    const int edges =
        2 * ::GetSystemMetricsForDpi(SM_CXEDGE, dpi) + ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    RECT outer{0, 0, wanted_text.cx + edges + 2 * margin,
               wanted_text.cy + edges + 3 * margin + ::MulDiv(26, dpi, 96)};
    ::AdjustWindowRectExForDpi(&outer, kBoxStyle, FALSE, WS_EX_DLGMODALFRAME,
                               static_cast<UINT>(dpi));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : box, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    RECT owner_rect = monitor.rcWork;
    if (owner != nullptr) {
        ::GetWindowRect(owner, &owner_rect);
    }
    const BoxRect placed = PlaceDetailsBox(outer.right - outer.left, outer.bottom - outer.top,
                                           ToBox(owner_rect), ToBox(monitor.rcWork));
    ::SetWindowPos(box, nullptr, placed.left, placed.top, placed.width, placed.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut(box, dpi);
}

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto& request = *reinterpret_cast<Request*>(lparam);
            request.font = MessageFont(static_cast<int>(::GetDpiForWindow(box)));
            UseFont(box, request.font.Get());
            ::SetWindowTextW(box, request.title->c_str());
            const std::wstring text = WithWindowsLineEnds(*request.text);
            ::SetDlgItemTextW(box, kTextId, text.c_str());
            Place(box, text);
            ::SetFocus(::GetDlgItem(box, IDOK));
            return FALSE;  // the focus is set
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                ::EndDialog(box, LOWORD(wparam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowDetails(HWND owner, const std::wstring& title, const std::wstring& text) {
    const Template box;
    Request request{&title, &text, {}};
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), box.Get(), owner, BoxProc,
                              reinterpret_cast<LPARAM>(&request));
}

}  // namespace karuneo::win32
