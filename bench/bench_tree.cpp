#include "bench/bench_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace karuneo::bench {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void Throw(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Raw openat keeps building a million files from dominating a run.
void AddEmptyFiles(const fs::path& folder, long entries) {
    const int dir = ::open(folder.c_str(), O_DIRECTORY | O_PATH | O_CLOEXEC);
    if (dir < 0) {
        Throw(folder.string());
    }
    char name[32];
    for (long i = 0; i < entries; ++i) {
        std::snprintf(name, sizeof name, "f%07ld", i);
        const int fd = ::openat(dir, name, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0) {
            ::close(dir);
            Throw(name);
        }
        ::close(fd);
    }
    ::close(dir);
}

}  // namespace

Chain MakeChain(const fs::path& scratch, long entries) {
    Chain chain{scratch / "D", scratch / "D" / "A" / "B"};
    fs::remove_all(chain.dropped);
    fs::create_directories(chain.deepest);
    AddEmptyFiles(chain.deepest, entries);
    return chain;
}

std::vector<fs::path> MakeSmallChains(const fs::path& scratch, long count) {
    std::vector<fs::path> dropped;
    fs::remove_all(scratch / "many");
    for (long i = 0; i < count; ++i) {
        const fs::path top = scratch / "many" / std::string("d").append(std::to_string(i));
        fs::create_directories(top / "A" / "B");
        AddEmptyFiles(top / "A" / "B", 1);
        dropped.push_back(top);
    }
    return dropped;
}

long CountEntries(const fs::path& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        Throw(folder.string());
    }
    long count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        count += name != "." && name != "..";
    }
    ::closedir(dir);
    return count;
}

}  // namespace karuneo::bench
