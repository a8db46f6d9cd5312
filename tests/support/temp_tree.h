#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace karuneo::testing {

// What one entry of a tree is: "dir", "file:<content>" or "link:<target>".
using Snapshot = std::map<std::string, std::string>;

// A fresh folder under the system's temporary folder, removed again with
// everything in it (links are removed, never followed). Trees are described
// by entries relative to it: "a/b/" is a folder, "a/l->../x" a symbolic link,
// anything else a file whose content is its own path, so that a file that
// moved can still tell where it came from.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::string Path(const std::string& relative) const;

    // Adds the entries inside the folder `under`; contents stay relative to it.
    void Add(const std::vector<std::string>& entries, const std::string& under = "") const;
    void Write(const std::string& relative, const std::string& content) const;
    // Many empty files f0, f1, ... in one folder, for tests of large folders.
    void AddEmptyFiles(const std::string& folder, int count) const;

    // Every entry below `relative`, keyed by its path relative to it, with
    // "/" as separator whatever the platform.
    Snapshot Take(const std::string& relative) const;

  private:
    std::filesystem::path root_;
};

// The same tree with file contents left out, to compare where things are.
Snapshot Layout(const Snapshot& tree);

// The contents of all files, sorted: what must survive any walk unchanged.
std::vector<std::string> FileContents(const Snapshot& tree);

// A tree as Take() would see it, from the same descriptions Add() takes.
Snapshot Described(const std::vector<std::string>& entries);

}  // namespace karuneo::testing
