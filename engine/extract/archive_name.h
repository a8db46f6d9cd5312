#pragma once

#include <string>
#include <string_view>

namespace karuneo::extract {

// The name of the folder an archive extracts into: its own without the
// extensions that only tell how it was packed ("foo.tar.gz" gives "foo").
// Empty when the name ends in no extension this program takes for an
// archive's: such a file is not extracted.
std::string FolderNameOfArchive(std::string_view file_name);

// The name itself for 1, then "name (2)", "name (3)"...: a taken name is
// never replaced, the next one is tried.
std::string NumberedName(const std::string& name, int number);

}  // namespace karuneo::extract
