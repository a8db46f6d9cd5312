#pragma once

#include <string>
#include <vector>

namespace karuneo {
class FileSystem;
}  // namespace karuneo

namespace karuneo::journal {

// A folder whose last run was stopped part-way and left so (the window was
// closed while it worked, or the put-back after a stop failed): some entries
// moved up, the rest still in the chain under its own name. Neither a
// finished run nor a cut-off one, it would otherwise go unmentioned.
struct LeftStopped {
    std::string folder;
    long long moved = 0;
    long long planned = 0;
};

// Such folders that still exist, oldest run first.
std::vector<LeftStopped> RunsLeftStopped(const std::string& journal_folder, FileSystem& fs);

}  // namespace karuneo::journal
