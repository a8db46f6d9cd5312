#include "results/win32/clipboard_text.h"

#include <cstring>

namespace karuneo::win32 {
namespace {

// The clipboard owns the memory once SetClipboardData takes it; until then
// it is ours to free.
HGLOBAL CopyToGlobal(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return nullptr;
    }
    void* at = ::GlobalLock(memory);
    if (at == nullptr) {
        ::GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(at, text.c_str(), bytes);
    ::GlobalUnlock(memory);
    return memory;
}

std::wstring WithWindowsLineEnds(std::wstring_view text) {
    std::wstring lines;
    lines.reserve(text.size() + text.size() / 32);
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    return lines;
}

}  // namespace

bool PutOnClipboard(HWND owner, std::wstring_view text) {
    HGLOBAL memory = CopyToGlobal(WithWindowsLineEnds(text));
    if (memory == nullptr) {
        return false;
    }
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(memory);
        return false;
    }
    const bool taken = ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    if (!taken) {
        ::GlobalFree(memory);
    }
    return taken;
}

}  // namespace karuneo::win32
