#pragma once

#include <string>
#include <vector>

namespace karuneo::testing {

// One entry written into a test archive. `kind`: 'f' file, 'd' folder,
// 'l' symbolic link to `link`, 'h' hard link to the entry `link`, 'c' a
// character device, 'p' a FIFO.
struct ArchivedEntry {
    std::string name;
    char kind = 'f';
    std::string data;
    std::string link;
    unsigned mode = 0644;
};

// How an archive's names are written: marked as UTF-8 (pax for a tar, the
// zip's UTF-8 flag), or as bytes left unmarked, as old Windows zips have them.
enum class Names { kUtf8, kUnmarked };

// Writes the archive at `path` with libarchive's writer: `format` is one of
// "zip", "tar", "tar.gz", "tar.xz", "7z". With `passphrase`, a zip's files
// are encrypted.
void MakeArchive(const std::string& path, const std::string& format,
                 const std::vector<ArchivedEntry>& entries, Names names = Names::kUtf8,
                 const std::string& passphrase = {});

}  // namespace karuneo::testing
