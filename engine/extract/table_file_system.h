#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/error_number.h"
#include "engine/file_system.h"

namespace karuneo {
class EntryPath;
}  // namespace karuneo

namespace karuneo::extract {

// An archive's table of contents as a tree in memory, under the path the
// new folder will have, and a FileSystem over it: the un-nesting run works
// on it as on the disk, so that a dry run tells what the real run will do
// without a byte written, and the real run knows beforehand where each
// entry will end up. Names starting with "." are hidden, as on disk.
class TableFileSystem final : public FileSystem {
  public:
    struct Node {
        EntryKind kind = EntryKind::kFolder;
        std::uint64_t id = 0;
        std::string link;  // a symbolic link's target
        std::map<std::string, std::unique_ptr<Node>> children;
        // The key of each name added, where letter case may not tell two
        // names apart: a second name of one key is refused as the disk
        // would refuse it.
        std::set<std::string> keys;
    };
    using Visitor = std::function<void(const std::vector<std::string>& parts, const Node& node)>;

    explicit TableFileSystem(std::string root);

    // Adds an entry, and the folders above it that are missing. Refused when
    // the name is taken, but by a folder for a folder (archives repeat them),
    // or when a part above it is no folder: then the number of its parts;
    // and when a part's name is one the file system takes for another name
    // already there (letter case, on Windows): then the parts up to that one.
    std::optional<std::size_t> Add(const std::vector<std::string>& parts, EntryKind kind,
                                   const std::string& link = {});
    // Whether the entry is there and is a file: what a hard link may name.
    bool HoldsFile(const std::vector<std::string>& parts) const;
    // Every entry, each before what it holds.
    void Visit(const Visitor& visit) const;

    Result<std::string> FolderName(const EntryPath& folder) override;
    Failure ListEntries(const EntryPath& folder, const EntryVisitor& visit) override;
    Result<Identity> Identify(const EntryPath& entry) override;
    Result<FolderLook> LookOfFolder(const EntryPath& folder) override;

  protected:
    Failure RenamePlainFolder(const EntryPath& folder, const std::string& new_name) override;
    Result<std::unique_ptr<EntryMover>> OpenMove(const EntryPath& from,
                                                 const EntryPath& to) override;
    Failure RemoveEmptyChild(const EntryPath& folder) override;

  private:
    Node* Find(const EntryPath& path);
    Node* FindParts(const std::vector<std::string>& parts) const;

    std::string root_;
    std::unique_ptr<Node> top_;
    std::uint64_t next_id_ = 1;
};

}  // namespace karuneo::extract
