// What Windows cannot hold, or would take for another entry, refuses the
// archive with nothing left; what it can hold comes out byte for byte.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/engine/extract/archive_maker.h"
#include "tests/engine/extract/extract_test_harness.h"
#include "tests/support/temp_tree.h"

namespace karuneo::testing {
namespace {

struct Unholdable {
    std::string name;
    std::vector<ArchivedEntry> entries;
    std::string reason;  // a part of the row's reason
};

std::vector<Unholdable> Unholdables() {
    std::vector<Unholdable> cases = {
        {"a control character", {File("W/a\tb")}, "could not write"},
        {"a trailing dot", {File("W/a."), File("W/b")}, "could not write"},
        {"a trailing space on a folder", {File("W/D /a")}, "could not write"},
        {"a device", {File("W/a"), File("W/aux.txt")}, "Windows device"},
        {"a console", {File("W/CONIN$")}, "Windows device"},
        {"a port by its superscript", {File("W/COM\xc2\xb9.log")}, "Windows device"},
        {"a link", {File("W/a"), Link("W/l", "a")}, "symbolic link"},
        {"two files in two cases", {File("W/a.txt"), File("W/A.TXT")}, "two entries"},
        {"two folders in two cases", {File("W/D/a"), File("W/d/b")}, "two entries"},
        {"a file and a folder in two cases", {File("W/x"), File("W/X/b")}, "two entries"},
    };
    for (const char reserved : std::string("<>:\"|?*")) {
        cases.push_back({std::string("reserved ") + reserved,
                         {File("W/a"), File(std::string("W/b") + reserved + "c")},
                         "could not write"});
    }
    return cases;
}

TEST(WindowsNames, EachUnholdableNameRefusesTheArchiveAndLeavesNothing) {
    for (const auto& format : {"zip", "tar"}) {
        for (const auto& unholdable : Unholdables()) {
            SCOPED_TRACE(std::string(format) + ": " + unholdable.name);
            TempTree tree;
            tree.Add({"outside"});
            const std::string archive = tree.Path(std::string("arc.") + format);
            MakeArchive(archive, format, unholdable.entries);
            const Snapshot before = tree.Take("");

            const ExtractedRow preview = Extract(archive, true);
            const ExtractedRow row = Extract(archive, false);

            EXPECT_EQ(row.status, "エラー");
            EXPECT_NE(row.reason.find(unholdable.reason), std::string::npos) << row.reason;
            EXPECT_NE(row.reason.find("nothing was left behind"), std::string::npos) << row.reason;
            EXPECT_EQ(preview.reason, row.reason) << "the dry run foresees it";
            EXPECT_EQ(tree.Take(""), before);
        }
    }
}

std::int64_t UnixTimeOf(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data));
    const auto ticks = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                       data.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

// Large enough to take several blocks, with every byte value in it.
TEST(WindowsNames, FilesComeOutWholeWithTheirTimeInBothCases) {
    std::string data(300 * 1024 + 7, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>((i * 131) ^ (i >> 9));
    }
    for (const auto& format : {"zip", "tar.gz"}) {
        SCOPED_TRACE(format);
        TempTree tree;
        const std::string archive = tree.Path(std::string("arc.") + format);
        MakeArchive(archive, format,
                    {{"W/big.bin", 'f', data, {}, 0444}, File("W/Sub/a"), File("W/sub2/A")});
        const ExtractedRow row = Extract(archive, false);
        EXPECT_EQ(row.status, "完了") << row.reason;
        EXPECT_EQ(tree.Take("arc"), (Snapshot{{"big.bin", "file:" + data},
                                              {"Sub", "dir"},
                                              {"Sub/a", "file:W/Sub/a"},
                                              {"sub2", "dir"},
                                              {"sub2/A", "file:W/sub2/A"}}));
        EXPECT_EQ(UnixTimeOf(tree.root() / "arc" / "big.bin"), 1700000000);
        // Read-only in the archive, yet its owner can still remove it.
        std::error_code error;
        EXPECT_TRUE(std::filesystem::remove(tree.root() / "arc" / "big.bin", error)) << error;
    }
}

// A tar as bsdtar writes one on Linux: each name in a pax path record, UTF-8
// by the format's own rule. Windows' libarchive writes no such record from
// the C locale, so the test writes the blocks itself.
std::string TarBlock(const std::string& name, char type, std::size_t size) {
    std::string block(512, '\0');
    const auto put = [&block](std::size_t at, const std::string& text) {
        block.replace(at, text.size(), text);
    };
    put(0, name);
    put(100, "0000644");
    put(108, "0000000");
    put(116, "0000000");
    char octal[16];
    std::snprintf(octal, sizeof octal, "%011o", static_cast<unsigned>(size));
    put(124, octal);
    put(136, "00000000000");
    block[156] = type;
    put(257, "ustar");
    put(263, "00");
    put(148, "        ");
    unsigned sum = 0;
    for (const char byte : block) {
        sum += static_cast<unsigned char>(byte);
    }
    std::snprintf(octal, sizeof octal, "%06o", sum);
    put(148, octal);
    block[154] = '\0';
    return block;
}

std::string Padded(std::string data) {
    data.resize((data.size() + 511) / 512 * 512, '\0');
    return data;
}

// "LEN path=NAME\n", LEN counting its own digits.
std::string PathRecord(const std::string& name) {
    const std::string body = " path=" + name + "\n";
    std::size_t length = body.size() + 1;
    while (std::to_string(length).size() + body.size() != length) {
        ++length;
    }
    return std::to_string(length) + body;
}

void WriteMarkedTar(const std::filesystem::path& path, const std::vector<std::string>& files) {
    std::string tar;
    for (const auto& name : files) {
        const std::string record = PathRecord(name);
        tar += TarBlock("PaxHeader/f", 'x', record.size()) + Padded(record);
        tar += TarBlock("f", '0', name.size()) + Padded(name);
    }
    tar += std::string(1024, '\0');
    std::ofstream(path, std::ios::binary) << tar;
}

TEST(WindowsNames, HardLinksAndMarkedNamesOfATarComeOut) {
    const std::string japanese = "\xe8\xb3\x87\xe6\x96\x99.txt";  // 資料.txt
    for (const auto& format : {"tar", "tar.gz"}) {
        SCOPED_TRACE(format);
        TempTree tree;
        const std::string archive = tree.Path(std::string("arc.") + format);
        MakeArchive(archive, format, {File("W/a"), {"W/h", 'h', {}, "W/a"}});
        const ExtractedRow row = Extract(archive, false);
        EXPECT_EQ(row.status, "完了") << row.reason;
        EXPECT_EQ(tree.Take("arc"), (Snapshot{{"a", "file:W/a"}, {"h", "file:W/a"}}));
    }
    TempTree tree;
    WriteMarkedTar(tree.root() / "marked.tar", {"W/" + japanese, "W/b"});
    const ExtractedRow row = Extract(tree.Path("marked.tar"), false);
    EXPECT_EQ(row.status, "完了") << row.reason;
    EXPECT_EQ(tree.Take("marked"), (Snapshot{{japanese, "file:W/" + japanese}, {"b", "file:W/b"}}));
}

}  // namespace
}  // namespace karuneo::testing
