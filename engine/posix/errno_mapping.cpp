#include "engine/posix/errno_mapping.h"

#include <cerrno>

namespace karuneo::posix {

ErrorNumber FromErrno(int error, ErrorNumber missing) {
    switch (error) {
        case 0:
            return kNoError;
        case ENOENT:
            return missing;
        case ENOTDIR:
            return kPathNotFound;
        case EEXIST:
        case ENOTEMPTY:
            return kFileAlreadyExists;
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
            return kPermissionDenied;
        case EXDEV:
            return kDifferentDrive;
        case ENOSPC:
        case EDQUOT:
            return kDiskFull;
        case EIO:
            return kDeviceIoError;
        case ENAMETOOLONG:
        case EINVAL:
            return kBadFileName;
        case ENOMEM:
            return kOutOfMemory;
        default:
            return kPathFileAccessError;  // ELOOP (a link where a folder was) among others
    }
}

}  // namespace karuneo::posix
