#include "engine/folder_look_linux.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "engine/file_system.h"

namespace karuneo {
namespace {

// Attribute lists and values grow between the size query and the read when
// another process writes them; a few tries settle it.
constexpr int kReadTries = 4;

// The size the system asks for, then the bytes; ERANGE means it grew.
template <typename Read>
Result<std::string> ReadGrowing(Read read) {
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0) {
            return Failure(kDeviceIoError, errno, {});
        }
        std::string bytes(static_cast<std::size_t>(size), '\0');
        const ssize_t got = read(bytes.data(), bytes.size());
        if (got >= 0) {
            bytes.resize(static_cast<std::size_t>(got));
            return {std::move(bytes)};
        }
        if (errno != ERANGE) {
            return Failure(kDeviceIoError, errno, {});
        }
    }
    return Failure(kDeviceIoError, ERANGE, {});
}

bool NotKept(int error) {
    return error == ENOTSUP || error == ENODATA;
}

Result<std::vector<std::string>> AttributeNames(int fd) {
    auto list = ReadGrowing(
        [fd](char* buffer, std::size_t size) { return ::flistxattr(fd, buffer, size); });
    if (!list.ok()) {
        if (NotKept(list.error().system_code)) {
            return std::vector<std::string>{};
        }
        return list.error();
    }
    std::vector<std::string> names;
    for (std::string_view rest = list.value(); !rest.empty();) {
        const std::string_view name = rest.substr(0, rest.find('\0'));
        names.emplace_back(name);
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return {std::move(names)};
}

}  // namespace

Result<std::vector<ExtendedAttribute>> ReadAttributes(int fd) {
    auto names = AttributeNames(fd);
    if (!names.ok()) {
        return names.error();
    }
    std::vector<ExtendedAttribute> attributes;
    for (auto& name : names.value()) {
        auto value = ReadGrowing([fd, &name](char* buffer, std::size_t size) {
            return ::fgetxattr(fd, name.c_str(), buffer, size);
        });
        if (!value.ok() && value.error().system_code == ENODATA) {
            continue;  // removed since it was listed
        }
        if (!value.ok()) {
            return value.error();
        }
        attributes.push_back({std::move(name), std::move(value.value())});
    }
    return {std::move(attributes)};
}

void GiveOwnerBack(int fd, const FolderLook& look, LookNotRestored& not_restored) {
    struct stat now {};
    if (look.owner == kNoOwner || ::fstat(fd, &now) != 0) {
        return;
    }
    if (now.st_uid == look.owner && now.st_gid == look.group) {
        return;
    }
    if (::fchown(fd, look.owner, look.group) != 0) {
        not_restored.parts.push_back(now.st_uid == look.owner ? "group" : "owner");
    }
}

// Those the folder has now and had not (inherited from its parent's default
// access list, say) go, so that it ends as it was.
void GiveAttributesBack(int fd, const std::vector<ExtendedAttribute>& attributes,
                        LookNotRestored& not_restored) {
    const auto present = AttributeNames(fd);
    for (const auto& name : present.value()) {
        const bool kept = std::any_of(attributes.begin(), attributes.end(),
                                      [&name](const auto& had) { return had.name == name; });
        if (!kept && ::fremovexattr(fd, name.c_str()) != 0 && errno != ENODATA) {
            not_restored.parts.push_back(name);
        }
    }
    for (const auto& attribute : attributes) {
        if (::fsetxattr(fd, attribute.name.c_str(), attribute.value.data(), attribute.value.size(),
                        0) != 0) {
            not_restored.parts.push_back(attribute.name);
        }
    }
}

}  // namespace karuneo
