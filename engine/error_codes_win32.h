#pragma once

namespace karuneo::win32 {

// ERROR_STOPPED_ON_SYMLINK, which mingw-w64's headers lack: the layer gives
// it for a reparse point that it refuses to pass through. Unsigned long is
// what DWORD is.
inline constexpr unsigned long kStoppedOnLink = 681;

}  // namespace karuneo::win32
