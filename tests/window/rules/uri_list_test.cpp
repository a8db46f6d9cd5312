#include "window/rules/uri_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/path_separator.h"

namespace karuneo {
namespace {

using Paths = std::vector<std::string>;

// The paths as this platform writes them.
Paths Native(Paths paths) {
    for (auto& path : paths) {
        std::replace(path.begin(), path.end(), '/', kPathSeparator);
    }
    return paths;
}

TEST(UriListTest, LocalFilesInTheirOrderWhateverTheLocalForm) {
    EXPECT_EQ(LocalPathsFromUriList("file:///tmp/b\r\nfile://localhost/a\r\n"
                                    "FILE://LocalHost/c\nfile:/d"),
              Native({"/tmp/b", "/a", "/c", "/d"}));
}

TEST(UriListTest, EverythingButLocalFilesIsSkipped) {
    const std::string list =
        "# a comment\r\n"
        "\r\n"
        "https://example.com/folder\r\n"
        "file://fileserver/share/folder\r\n"
        "smb://fileserver/share\r\n"
        "file:relative\r\n"
        "file://\r\n"
        "   file:///kept   \r\n";
    EXPECT_EQ(LocalPathsFromUriList(list), Native({"/kept"}));
}

TEST(UriListTest, NamesArePercentDecodedToTheirBytes) {
    // "写真" in UTF-8, then bytes that are no UTF-8 at all.
    EXPECT_EQ(LocalPathsFromUriList("file:///tmp/%E5%86%99%E7%9C%9F\r\n"
                                    "file:///tmp/bad%FF%fe%20name\r\n"),
              Native({"/tmp/写真", "/tmp/bad\xff\xfe name"}));
}

TEST(UriListTest, QueryAndFragmentAreNotPartOfThePath) {
    EXPECT_EQ(LocalPathsFromUriList("file:///a%3Fb?q#f\r\n"), Native({"/a?b"}));
}

TEST(PercentDecodeTest, MalformedEscapesStayAsWritten) {
    EXPECT_EQ(PercentDecode("100%"), "100%");
    EXPECT_EQ(PercentDecode("%4"), "%4");
    EXPECT_EQ(PercentDecode("%zz%41"), "%zzA");
    EXPECT_EQ(PercentDecode("%%41"), "%A");
    EXPECT_EQ(PercentDecode("%00"), std::string(1, '\0'));
}

}  // namespace
}  // namespace karuneo
