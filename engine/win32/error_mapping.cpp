#include "engine/win32/error_mapping.h"

#include <windows.h>

namespace karuneo::win32 {

ErrorNumber FromWin32Error(unsigned long error, ErrorNumber missing) {
    switch (error) {
        case ERROR_SUCCESS:
            return kNoError;
        case ERROR_FILE_NOT_FOUND:
            return missing;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:  // a file where a folder was expected
            return kPathNotFound;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
        case ERROR_DIR_NOT_EMPTY:
            return kFileAlreadyExists;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return kPermissionDenied;
        case ERROR_NOT_SAME_DEVICE:
            return kDifferentDrive;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kDiskFull;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
            return kDeviceIoError;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return kBadFileName;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return kOutOfMemory;
        default:
            return kPathFileAccessError;  // a reparse point that cannot be opened, among others
    }
}

}  // namespace karuneo::win32
