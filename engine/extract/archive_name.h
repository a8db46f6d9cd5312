#pragma once

#include <string>
#include <string_view>

namespace karuneo::extract {

// The name of the folder an archive extracts into: its own without the
// extensions that only tell how it was packed ("foo.tar.gz" gives "foo").
// Empty when the name ends in no extension this program takes for an
// archive's: such a file is not extracted.
std::string FolderNameOfArchive(std::string_view file_name);

// Whether `path` is a file (not a link to one) named as an archive is: what
// the window extracts, or offers to, and what an undo of an extraction may
// be asked for by.
bool IsArchiveFile(const std::string& path);

// The name itself for 1, then "name (2)", "name (3)"...: a taken name is
// never replaced, the next one is tried.
std::string NumberedName(const std::string& name, int number);

}  // namespace karuneo::extract
