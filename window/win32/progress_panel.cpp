#include "window/win32/progress_panel.h"

// windows.h first: commctrl.h relies on its types.
#include <commctrl.h>

#include "engine/utf16_win32.h"
#include "window/rules/form_design.h"
#include "window/win32/dpi_scaled.h"

namespace karuneo::win32 {
namespace {

HWND CreateIn(HWND area, const wchar_t* type, const wchar_t* text, DWORD style, int id) {
    // Hidden until there is work: idle, the drop area stays as it always was.
    return ::CreateWindowExW(0, type, text, WS_CHILD | style, 0, 0, 0, 0, area,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

// The height of a line of `window`'s font, the caption's included.
int LineHeight(HWND window) {
    HDC dc = ::GetDC(window);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = ::SelectObject(
        dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

}  // namespace

bool ProgressPanel::Create(HWND area) {
    area_ = area;
    for (std::size_t line = 0; line < lines_.size(); ++line) {
        // A long name ends in "…" rather than being cut at a letter; the
        // first line, which says what is being done, may take two.
        const DWORD fit = line == 0 ? SS_EDITCONTROL : SS_ENDELLIPSIS;
        lines_[line] = CreateIn(area, L"STATIC", L"", SS_LEFT | fit | SS_NOPREFIX,
                                static_cast<int>(12 + line));
    }
    bar_ = CreateIn(area, PROGRESS_CLASSW, L"", 0, 14);
    stop_ =
        CreateIn(area, L"BUTTON", Utf16FromUtf8(form_design::kStopCaption).value_or(L"").c_str(),
                 BS_PUSHBUTTON, kStopButton);
    if (bar_ != nullptr) {
        ::SendMessageW(bar_, PBM_SETRANGE32, 0, 100);
    }
    return bar_ != nullptr && stop_ != nullptr && lines_[0] != nullptr && lines_[1] != nullptr &&
           lines_[2] != nullptr;
}

void ProgressPanel::SetFont(HFONT font) {
    for (HWND line : lines_) {
        ::SendMessageW(line, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    ::SendMessageW(stop_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    Layout();
}

void ProgressPanel::Layout() {
    if (area_ == nullptr || stop_ == nullptr) {
        return;
    }
    RECT inside{};
    ::GetClientRect(area_, &inside);
    const int margin = DpiScaled(8, area_);
    const int width = inside.right - 2 * margin;
    const int button_width = DpiScaled(72, area_);
    const int button_height = DpiScaled(24, area_);
    const int bar_height = DpiScaled(14, area_);
    const int button_top = inside.bottom - margin - button_height;
    const int bar_top = button_top - DpiScaled(6, area_) - bar_height;
    int top = LineHeight(area_) + DpiScaled(2, area_);
    const int line_height = LineHeight(lines_[0]);
    constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
    for (HWND line : lines_) {
        const int height = line == lines_[0] ? 2 * line_height : line_height;
        ::SetWindowPos(line, nullptr, margin, top, width, height, kPlace);
        top += height;
    }
    ::SetWindowPos(bar_, nullptr, margin, bar_top, width, bar_height, kPlace);
    ::SetWindowPos(stop_, nullptr, (inside.right - button_width) / 2, button_top, button_width,
                   button_height, kPlace);
}

void ProgressPanel::Show(const ProgressLines& lines) {
    SetLine(0, lines.folder);
    SetLine(1, lines.entries);
    SetLine(2, lines.waiting);
    SetBar(lines.counted, lines.percent);
    if (can_stop_ != lines.can_stop) {
        can_stop_ = lines.can_stop;
        ::EnableWindow(stop_, can_stop_ ? TRUE : FALSE);
    }
    if (!shown_) {
        shown_ = true;
        ShowControls(SW_SHOWNA);
    }
}

void ProgressPanel::Hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    ShowControls(SW_HIDE);
    for (int line = 0; line < 3; ++line) {
        SetLine(line, "");
    }
    percent_ = -1;
    // A group box paints no background of its own: what the controls
    // covered is painted by the window below it, and the box over that.
    HWND below = ::GetParent(area_);
    RECT covered{};
    ::GetWindowRect(area_, &covered);
    ::MapWindowPoints(nullptr, below, reinterpret_cast<POINT*>(&covered), 2);
    ::RedrawWindow(below, &covered, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ProgressPanel::SetLine(int index, const std::string& utf8) {
    // Set only when it changed: thirty times a second would flicker.
    std::wstring text = Utf16FromUtf8(utf8).value_or(std::wstring());
    auto& shown = shown_texts_[static_cast<std::size_t>(index)];
    if (text != shown) {
        shown = std::move(text);
        ::SetWindowTextW(Line(index), shown.c_str());
    }
}

void ProgressPanel::SetBar(bool total_known, int percent) {
    if (marquee_ == total_known) {
        // Until the total is known there is nothing to measure against.
        marquee_ = !total_known;
        const LONG_PTR style = ::GetWindowLongPtrW(bar_, GWL_STYLE);
        ::SetWindowLongPtrW(bar_, GWL_STYLE,
                            marquee_ ? (style | PBS_MARQUEE) : (style & ~LONG_PTR{PBS_MARQUEE}));
        ::SendMessageW(bar_, PBM_SETMARQUEE, marquee_ ? TRUE : FALSE, 30);
        percent_ = -1;
    }
    if (!marquee_ && percent != percent_) {
        percent_ = percent;
        ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    }
}

void ProgressPanel::ShowControls(int show_command) const {
    for (HWND line : lines_) {
        ::ShowWindow(line, show_command);
    }
    ::ShowWindow(bar_, show_command);
    ::ShowWindow(stop_, show_command);
}

}  // namespace karuneo::win32
