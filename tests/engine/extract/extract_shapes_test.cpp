// What an archive of each shape becomes beside it, in each format, and that
// the dry run tells exactly that row beforehand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

struct Shape {
    std::string name;
    std::vector<ArchivedEntry> entries;
    std::string folder;  // what the new folder is named
    Snapshot expected;   // what it holds
    std::string status = "完了";
    std::vector<std::string> beside;  // entries beside the archive beforehand
    Names names = Names::kUtf8;
    bool zip_only = false;
};

// "あ.txt" in CP932, as Japanese Windows writes it into a zip.
const std::string kCp932Name = "\x82\xa0.txt";
const std::string kUtf8Name = "\xe3\x81\x82.txt";

Shape Made(std::string name, std::vector<ArchivedEntry> entries, std::string folder,
           Snapshot expected, std::string status = "完了") {
    Shape shape;
    shape.name = std::move(name);
    shape.entries = std::move(entries);
    shape.folder = std::move(folder);
    shape.expected = std::move(expected);
    shape.status = std::move(status);
    return shape;
}

std::vector<Shape> Shapes() {
    Shape taken = Made("the name is taken", {File("W/a")}, "arc (3)", {{"a", "file:W/a"}});
    taken.beside = {"arc/", "arc (2)"};
    Shape cp932 = Made("CP932 names", {File("W/" + kCp932Name)}, "arc",
                       {{kUtf8Name, "file:W/" + kCp932Name}});
    cp932.names = Names::kUnmarked;
    cp932.zip_only = true;
    std::vector<Shape> shapes = {
        Made("one wrapper", {Folder("W/"), File("W/a"), File("W/b")}, "arc",
             {{"a", "file:W/a"}, {"b", "file:W/b"}}),
        Made("a chain", {File("W/X/Y/a"), File("W/X/Y/Z/b")}, "arc",
             {{"a", "file:W/X/Y/a"}, {"Z", "dir"}, {"Z/b", "file:W/X/Y/Z/b"}}),
        Made("several top entries", {File("a"), File("W/b")}, "arc",
             {{"a", "file:a"}, {"W", "dir"}, {"W/b", "file:W/b"}}),
        Made("one file", {File("a")}, "arc", {{"a", "file:a"}}),
        Made("empty archive", {}, "arc", {}, "完了<フォルダは空>"),
        Made("junk beside the wrapper",
             {File("W/a"), File("__MACOSX/W/._a"), File(".DS_Store"), File("Thumbs.db")}, "arc",
             {{"a", "file:W/a"},
              {"__MACOSX", "dir"},
              {"__MACOSX/W", "dir"},
              {"__MACOSX/W/._a", "file:__MACOSX/W/._a"},
              {".DS_Store", "file:.DS_Store"},
              {"Thumbs.db", "file:Thumbs.db"}}),
        Made("junk inside the wrapper moves with it", {File("W/a"), File("W/desktop.ini")}, "arc",
             {{"a", "file:W/a"}, {"desktop.ini", "file:W/desktop.ini"}}),
        taken,
        Made("UTF-8 names", {File("W/" + kUtf8Name)}, "arc", {{kUtf8Name, "file:W/" + kUtf8Name}}),
        cp932,
    };
#ifndef _WIN32
    // Windows refuses links: windows_names_win32_test.cpp.
    shapes.push_back(Made("link inside the wrapper", {File("W/a"), Link("W/l", "a")}, "arc",
                          {{"a", "file:W/a"}, {"l", "link:a"}}));
#endif
    return shapes;
}

TEST(ExtractShapes, EachShapeInEachFormatAndItsDryRun) {
    for (const auto& shape : Shapes()) {
        for (const std::string format : {"zip", "tar.gz", "7z"}) {
            if (shape.zip_only && format != "zip") {
                continue;
            }
            SCOPED_TRACE(shape.name + " in " + format);
            TempTree tree;
            tree.Add(shape.beside);
            const std::string archive = "arc." + format;
            MakeArchive(tree.Path(archive), format, shape.entries, shape.names);
            const Snapshot before = tree.Take("");

            const ExtractedRow preview = Extract(tree.Path(archive), true);
            EXPECT_EQ(tree.Take(""), before);
            const ExtractedRow row = Extract(tree.Path(archive), false);

            EXPECT_EQ(row.name, archive);
            EXPECT_EQ(row.status, shape.status) << row.reason;
            EXPECT_EQ(preview.status, row.status);
            EXPECT_EQ(preview.reason, row.reason);
            EXPECT_EQ(tree.Take(shape.folder), shape.expected);
            Snapshot after = tree.Take("");
            for (const auto& [path, kind] : before) {
                EXPECT_EQ(after[path], kind) << path;  // the archive and all beside it stay
            }
        }
    }
}

TEST(ExtractShapes, AFileOfNoArchiveNameIsLeftAlone) {
    TempTree tree;
    tree.Add({"notes.txt"});
    const ExtractedRow row = Extract(tree.Path("notes.txt"), false);
    EXPECT_EQ(row.status, "未処理");
    EXPECT_EQ(tree.Take(""), Described({"notes.txt"}));
}

TEST(ExtractShapes, NamesInAGivenEncodingOverrideTheGuess) {
    TempTree tree;
    // "あ" in EUC-JP, valid in neither UTF-8 nor as the CP932 "あ".
    MakeArchive(tree.Path("arc.zip"), "zip", {File("W/\xa4\xa2")}, Names::kUnmarked);
    extract::ExtractOptions options;
#ifdef _WIN32
    // Wine converts no EUC-JP: the same bytes in Latin-1 are "¤¢".
    options.name_encoding = "CP1252";
    const std::string expected = "\xc2\xa4\xc2\xa2";
#else
    options.name_encoding = "EUC-JP";
    const std::string expected = "\xe3\x81\x82";
#endif
    EXPECT_EQ(Extract(tree.Path("arc.zip"), false, options).status, "完了");
    EXPECT_EQ(tree.Take("arc"), (Snapshot{{expected, "file:W/\xa4\xa2"}}));
}

}  // namespace
}  // namespace karuneo::testing
