#include <cerrno>
#include <cstring>

#include "engine/system_code.h"

namespace karuneo {
namespace {

struct CodeRow {
    int code;
    SystemCodeMeaning meaning;
};

// A link met with O_NOFOLLOW gives ELOOP, which is why it stands for one.
// A code missing here is an access failure the system's message explains.
constexpr CodeRow kErrnoTable[] = {
    {0, {kNoError, Cause::kSystem}},
    {ENOENT, {kPathNotFound, Cause::kSystem}},
    {ENOTDIR, {kPathNotFound, Cause::kSystem}},
    {EEXIST, {kFileAlreadyExists, Cause::kSystem}},
    {ENOTEMPTY, {kFileAlreadyExists, Cause::kSystem}},
    {EACCES, {kPermissionDenied, Cause::kNoPermission}},
    {EPERM, {kPermissionDenied, Cause::kNoPermission}},
    {EROFS, {kPermissionDenied, Cause::kSystem}},
    {EBUSY, {kPermissionDenied, Cause::kSystem}},
    {EXDEV, {kDifferentDrive, Cause::kSystem}},
    {ENOSPC, {kDiskFull, Cause::kSystem}},
    {EDQUOT, {kDiskFull, Cause::kSystem}},
    {EIO, {kDeviceIoError, Cause::kSystem}},
    {ENAMETOOLONG, {kBadFileName, Cause::kNameTooLong}},
    {EINVAL, {kBadFileName, Cause::kSystem}},
    {ENOMEM, {kOutOfMemory, Cause::kSystem}},
    {ELOOP, {kPathFileAccessError, Cause::kLink}},
};

}  // namespace

SystemCodeMeaning MeaningOfSystemCode(int code) {
    for (const auto& row : kErrnoTable) {
        if (row.code == code) {
            return row.meaning;
        }
    }
    return {};
}

std::string SystemMessage(int code) {
    if (code == 0) {
        return {};
    }
    char buffer[256];
    // The GNU strerror_r, which g++ always declares: it may return a
    // string of its own instead of filling the buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

}  // namespace karuneo
