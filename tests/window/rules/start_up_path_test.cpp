#include "window/rules/start_up_path.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace karuneo {
namespace {

#ifndef _WIN32
// A link named with a trailing "/" is the folder behind it; losing the "/"
// turned it into the link itself, which the walk refuses.
TEST(StartUpPathTest, KeepsOneTrailingSlashAndMakesThePathFull) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(StartUpPath("ld/"), here + "/ld/");
    EXPECT_EQ(StartUpPath("ld///"), here + "/ld/");
    EXPECT_EQ(StartUpPath("ld"), here + "/ld");
    EXPECT_EQ(StartUpPath("/tmp/D"), "/tmp/D");
    EXPECT_EQ(StartUpPath("/"), "/");
    EXPECT_EQ(StartUpPath("//"), "/");
}
#endif

}  // namespace
}  // namespace karuneo
