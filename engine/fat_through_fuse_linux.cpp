#include "engine/fat_through_fuse_linux.h"

#include <array>
#include <cstring>
// iwyu 8.18 takes std::ifstream and std::istringstream for each other.
#include <fstream>  // IWYU pragma: keep
#include <map>
#include <sstream>  // IWYU pragma: keep
#include <string>
#include <string_view>
#include <utility>

namespace karuneo {
namespace {

struct Mount {
    std::string type;
    std::string source;
};

// The mount table's line for the device; empty when none names it.
Mount MountOf(unsigned major, unsigned minor) {
    const std::string wanted = std::to_string(major) + ":" + std::to_string(minor);
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        const auto dash = line.find(" - ");
        if (numbers != wanted || dash == std::string::npos) {
            continue;
        }
        std::istringstream after(line.substr(dash + 3));
        Mount mount;
        after >> mount.type >> mount.source;
        return mount;
    }
    return {};
}

bool IsFatOnDevice(const std::string& source) {
    std::ifstream device(source, std::ios::binary);
    std::array<char, 90> sector{};
    if (!device.read(sector.data(), sector.size())) {
        return false;
    }
    const auto at = [&sector](std::size_t offset, std::string_view text) {
        return std::memcmp(sector.data() + offset, text.data(), text.size()) == 0;
    };
    return at(3, "EXFAT   ") || at(54, "FAT12   ") || at(54, "FAT16   ") || at(82, "FAT32   ");
}

// Drivers that mount an image themselves name the file system in the type:
// fusefat's "fuse.fusefat", exfat-fuse's "fuse.exfat" when not on a block
// device.
bool IsFat(const Mount& mount) {
    if (mount.type == "fuseblk") {
        return IsFatOnDevice(mount.source);
    }
    return mount.type == "fuse.fusefat" || mount.type == "fuse.exfat" ||
           mount.type == "fuse.exfat-fuse";
}

}  // namespace

bool IsFatThroughFuse(unsigned major, unsigned minor) {
    thread_local std::map<std::pair<unsigned, unsigned>, bool> known;
    const auto found = known.find({major, minor});
    if (found != known.end()) {
        return found->second;
    }
    const bool fat = IsFat(MountOf(major, minor));
    known.emplace(std::pair(major, minor), fat);
    return fat;
}

}  // namespace karuneo
