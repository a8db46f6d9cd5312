#include "fuzz/tree_from_bytes.h"

#include <algorithm>
#include <array>
#include <set>

namespace karuneo::fuzz {
namespace {

constexpr std::size_t kMaxEntries = 24;
// Names that clash with the chain, with each other after a move, with the
// temporary names, or that start with a dot.
constexpr std::array<const char*, 10> kNames{
    "A", "B", "C", "f", "g", ".h", "karuneo00000000", "A.tmp", "日本", "\xff"};
// Outside the tree, inside it, to itself, and nowhere.
constexpr std::array<const char*, 5> kTargets{"../outside", "..", "A", ".", "missing"};
constexpr std::array<ErrorNumber, 4> kErrors{kDeviceIoError, kPathNotFound, kFileNotFound,
                                             kFileAlreadyExists};

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    std::size_t Next(std::size_t bound) { return more() ? data_[at_++] % bound : 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::vector<std::string> StartChain(Reader& in) {
    std::vector<std::string> folders{""};
    const std::size_t levels = in.Next(4);
    for (std::size_t level = 0; level < levels; ++level) {
        folders.push_back(folders.back() + kNames[level] + "/");
    }
    return folders;
}

}  // namespace

FuzzCase TreeFromBytes(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    FuzzCase made;
    made.fail_call = static_cast<int>(in.Next(16));
    made.fail_error = kErrors[in.Next(kErrors.size())];
    std::vector<std::string> folders = StartChain(in);
    std::set<std::string> taken(folders.begin(), folders.end());
    made.entries.assign(folders.begin() + 1, folders.end());
    while (in.more() && made.entries.size() < kMaxEntries) {
        const std::size_t kind = in.Next(3);
        const std::string parent = folders[in.Next(folders.size())];
        const std::string path = parent + kNames[in.Next(kNames.size())];
        const std::size_t target = in.Next(kTargets.size());
        if (!taken.insert(path).second || !taken.insert(path + "/").second) {
            continue;
        }
        if (kind == 0) {
            folders.push_back(path + "/");
            made.entries.push_back(path + "/");
        } else if (kind == 1) {
            made.entries.push_back(path);
        } else {
            made.entries.push_back(path + "->" + kTargets[target]);
        }
    }
    return made;
}

}  // namespace karuneo::fuzz
