#include "window/win32/wait_cursor.h"

namespace karuneo::win32 {

WaitCursor::WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}

WaitCursor::~WaitCursor() {
    ::SetCursor(previous_);
}

}  // namespace karuneo::win32
