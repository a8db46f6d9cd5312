#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/extract/refusal.h"

namespace karuneo::extract {

using Parts = std::vector<std::string>;

// Where an extraction writes: a folder it makes new beside the archive, and
// nothing but below it. Every path is taken part by part from that folder,
// never through a link, and no entry is ever replaced: a name taken is a
// kDuplicate. One implementation per system.
class ExtractTarget {
  public:
    virtual ~ExtractTarget() = default;

    // Makes the new folder `name` in the folder `parent`.
    virtual Refusal MakeTop(const std::string& parent, const std::string& name) = 0;
    // Makes a folder, and those above it that are missing. A folder this
    // target made already is no clash: archives repeat folders.
    virtual Refusal MakeFolder(const Parts& parts, std::uint32_t mode) = 0;
    // One file at a time: opened, written at offsets, closed with its size
    // and, when `has_mtime`, its modification time.
    virtual Refusal OpenFile(const Parts& parts, std::uint32_t mode) = 0;
    virtual Refusal Write(std::string_view data, std::int64_t offset) = 0;
    virtual Refusal CloseFile(std::int64_t size, bool has_mtime, std::int64_t mtime_s,
                              long mtime_ns) = 0;
    virtual Refusal MakeSymlink(const Parts& parts, const std::string& target) = 0;
    // A second name for a file this target made.
    virtual Refusal MakeHardLink(const Parts& parts, const Parts& existing) = 0;
    // Bytes free for this user where the new folder is.
    virtual std::uint64_t FreeBytes() = 0;
    // Lets go of the folders it holds open once everything is written, where
    // the system would keep others from renaming them meanwhile: the
    // un-nesting moves and renames them next.
    virtual void LetGo() {}
    // Removes what this target made, told by identity wherever it stands
    // now, and only that: what another program put there stays, with the
    // folders that hold it. True when nothing it made is left.
    virtual bool RemoveMade() = 0;
};

std::unique_ptr<ExtractTarget> MakeNativeExtractTarget();

}  // namespace karuneo::extract
