#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace karuneo {

// An entry at or below a dropped folder: the dropped folder's own path as the
// user gave it, then the names below it. The two are kept apart because the
// file-system layer may follow links on the way to the dropped folder (the
// user chose that path) but must never follow one below it.
class EntryPath {
  public:
    // Trailing separators are dropped; a root of only separators is kept.
    explicit EntryPath(std::string root);

    EntryPath Child(std::string name) const;
    EntryPath Parent() const;  // of a path below the root

    bool IsRoot() const { return names_.empty(); }
    const std::string& Root() const { return root_; }
    const std::vector<std::string>& Names() const { return names_; }
    // The last name below the root; of the root itself, its last component.
    std::string LastName() const;
    // Root and names joined with the platform's separator, for messages.
    std::string Joined() const;
    // The first `count` names (all by default) joined with the platform's
    // separator: where an entry lies below the dropped folder.
    std::string Below(std::size_t count = static_cast<std::size_t>(-1)) const;

  private:
    std::string root_;
    std::vector<std::string> names_;
};

}  // namespace karuneo
