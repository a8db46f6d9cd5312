#pragma once

#include <cstdint>
#include <string>

#include "engine/extract/refusal.h"

namespace karuneo::extract {
class TableFileSystem;
struct ArchiveEntry;
struct SplitName;

// What an archive may not do, checked entry by entry from its table of
// contents alone, the same in a dry run and a real one: names leading
// outside, links leading outside, devices, encrypted entries, two entries
// of one name. An entry that passes is added to `table`.
Refusal CheckEntry(const ArchiveEntry& entry, const SplitName& split, TableFileSystem& table);

// Once un-nested, every entry stands fewer folders deep: each symbolic link
// of `table` must still stay inside the new folder from where it ends up.
Refusal CheckLinksWhereTheyEnd(const TableFileSystem& table);

// How far an archive may expand. A total within every bound is written; a
// zip bomb is refused before it fills the disk.
struct ExpansionBounds {
    std::uint64_t max_total = std::uint64_t{256} << 30;
    // Past `ratio_from` bytes, at most this many bytes per byte of archive:
    // source trees compress ten to one, nothing honest a thousand to one.
    std::uint64_t max_ratio = 1000;
    std::uint64_t ratio_from = std::uint64_t{100} << 20;
};

// Counts the bytes an extraction writes against the bounds, the archive's
// size and the disk's free space.
class ExpansionCount {
  public:
    ExpansionCount(const ExpansionBounds& bounds, std::uint64_t archive_bytes,
                   std::uint64_t free_bytes)
        : bounds_(bounds), archive_bytes_(archive_bytes), free_bytes_(free_bytes) {}

    Refusal Add(std::uint64_t bytes, const std::string& entry);
    std::uint64_t total() const { return total_; }

  private:
    ExpansionBounds bounds_;
    std::uint64_t archive_bytes_;
    std::uint64_t free_bytes_;
    std::uint64_t total_ = 0;
};

}  // namespace karuneo::extract
