#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karuneo {

// The local paths of a text/uri-list (RFC 2483), in the order listed, as the
// bytes the file system knows them by. File managers percent-encode names
// byte by byte, so decoding here keeps a name that is not valid UTF-8 intact,
// where a conversion to text would replace its bytes. Comments, blank lines
// and every URL that is not a local file are skipped.
std::vector<std::string> LocalPathsFromUriList(std::string_view uri_list);

// "%41" becomes "A"; a "%" not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text);

}  // namespace karuneo
