// What only Windows has: attributes, letter-case-blind names, UTF-16 names,
// the 260-character limit, read-only folders and reparse points.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/entry_path.h"
#include "engine/native_file_system.h"
#include "engine/testing/failing_file_system.h"
#include "engine/unnest.h"
#include "engine/utf16_win32.h"
#include "results/rules/status_text.h"
#include "tests/support/platform.h"
#include "tests/support/reason_sink.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/win32/unix_side.h"

namespace karuneo {
namespace {

using testing::Described;
using testing::FailingFileSystem;
using testing::Layout;
using testing::RecordingSink;
using testing::Row;
using testing::TempTree;

std::wstring Wide(const std::string& utf8) {
    return win32::Utf16FromUtf8(utf8).value();
}

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str());
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), attributes)) << path;
}

void AddAttributes(const std::string& path, DWORD attributes) {
    const DWORD now = AttributesOf(path);
    ASSERT_NE(now, INVALID_FILE_ATTRIBUTES) << path;
    SetAttributes(path, now | attributes);
}

// The test trees live under "\\?\"; a user's path comes without it.
std::string AsTheUserGivesIt(const std::string& path) {
    return path.starts_with(R"(\\?\)") ? path.substr(4) : path;
}

// The tree `names` describes, with files that still tell they came from `chain`.
testing::Snapshot MovedUpFrom(const std::string& chain, const std::vector<std::string>& names) {
    testing::Snapshot tree = Described(names);
    for (auto& [path, kind] : tree) {
        if (kind.starts_with("file:")) {
            kind = "file:" + chain + path;
        }
    }
    return tree;
}

Row RowOf(const std::string& name, std::string_view status) {
    return {name, std::string(status)};
}

class Win32FileSystemTest : public ::testing::Test {
  protected:
    std::vector<Row> Run(const std::string& relative) {
        ProcessDroppedPath(AsTheUserGivesIt(tree_.Path(relative)), *native_, sink_);
        return sink_.rows;
    }

    TempTree tree_;
    std::unique_ptr<FileSystem> native_ = MakeNativeFileSystem();
    RecordingSink sink_;
};

TEST_F(Win32FileSystemTest, HiddenAndSystemEntriesAreNotCountedButMoved) {
    tree_.Add({"hidden", "system", "A/B/f", "A/B/hidden2", "A/B/system2"}, "D");
    AddAttributes(tree_.Path("D/hidden"), FILE_ATTRIBUTE_HIDDEN);
    AddAttributes(tree_.Path("D/system"), FILE_ATTRIBUTE_SYSTEM);
    AddAttributes(tree_.Path("D/A/B/hidden2"), FILE_ATTRIBUTE_HIDDEN);
    AddAttributes(tree_.Path("D/A/B/system2"), FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Run("D"), (std::vector<Row>{RowOf("D", kStatusDone)}));
    EXPECT_EQ(Layout(tree_.Take("D")),
              Layout(Described({"hidden", "system", "f", "hidden2", "system2"})));
    EXPECT_NE(AttributesOf(tree_.Path("D/hidden2")) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Win32FileSystemTest, ALeadingDotAloneDoesNotHide) {
    tree_.Add({".config", "A/f"}, "D");
    SetAttributes(tree_.Path("D/.config"), FILE_ATTRIBUTE_NORMAL);  // the tree hid it
    EXPECT_EQ(Run("D"), (std::vector<Row>{RowOf("D", kStatusUntouched)}));
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({".config", "A/f"})));
}

TEST_F(Win32FileSystemTest, AClashInAnyLetterCaseFailsAndKeepsBothContents) {
    tree_.Add({"from/f", "from/G/g", "to/F", "to/g"});
    const EntryPath from(tree_.Path("from"));
    const EntryPath to(tree_.Path("to"));
    for (const std::string name : {"f", "G"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(native_->MoveEntries(from, std::vector<std::string>{name}, to),
                  kFileAlreadyExists);
    }
    EXPECT_EQ(tree_.Take(""), Described({"from/f", "from/G/g", "to/F", "to/g"}));
}

TEST_F(Win32FileSystemTest, AWalkStopsAtAFileInTheWayAndKeepsBothContents) {
    tree_.Add({"README", "A/B/readme"}, "D");
    AddAttributes(tree_.Path("D/README"), FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Run("D"), (std::vector<Row>{RowOf("D", kStatusError)}));
    EXPECT_EQ(tree_.Take("D"), Described({"README", "A/B/readme"}));
}

TEST_F(Win32FileSystemTest, RetriesATemporaryNameTakenInAnotherLetterCase) {
    tree_.Add({"Clash/keep", "A/B/f"}, "D");
    AddAttributes(tree_.Path("D/Clash"), FILE_ATTRIBUTE_HIDDEN);
    FailingFileSystem fake(*native_);
    fake.QueueTempNames({"CLASH.tmp", "fresh.tmp"});
    ProcessDroppedPath(tree_.Path("D"), fake, sink_);
    EXPECT_EQ(sink_.rows, (std::vector<Row>{RowOf("D", kStatusDone)}));
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({"Clash/keep", "f"})));
}

TEST_F(Win32FileSystemTest, NamesOutsideTheAnsiCodePageSurvive) {
    const std::string dropped = "ドロップ🙂";
    tree_.Add(
        {"資料/写真/犬.jpg", "資料/写真/𠮷野家.txt", "資料/写真/한국어.txt", "資料/写真/😀/ünï"},
        dropped);
    EXPECT_EQ(Run(dropped), (std::vector<Row>{RowOf(dropped, kStatusDone)}));
    EXPECT_EQ(tree_.Take(dropped),
              MovedUpFrom("資料/写真/", {"犬.jpg", "𠮷野家.txt", "한국어.txt", "😀/ünï"}));
}

TEST_F(Win32FileSystemTest, ReportsTheNameInTheLetterCaseItIsStoredIn) {
    tree_.Add({"f"}, "Stored");
    EXPECT_EQ(Run("STORED"), (std::vector<Row>{RowOf("Stored", kStatusUntouched)}));
}

TEST_F(Win32FileSystemTest, FlattensAChainPastTheOld260CharacterLimit) {
    const std::string chain = std::string(120, 'a') + "/" + std::string(120, 'b') + "/";
    const std::string long_name(100, 'c');
    tree_.Add({chain + "f", chain + long_name + "/g"}, "D");
    ASSERT_GT(AsTheUserGivesIt(tree_.Path("D/" + chain + long_name)).size(), 260u);
    EXPECT_EQ(Run("D"), (std::vector<Row>{RowOf("D", kStatusDone)}));
    EXPECT_EQ(tree_.Take("D"), MovedUpFrom(chain, {"f", long_name + "/g"}));
}

// Windows refuses to remove a read-only folder and the layer must not force
// it; Wine 8 does not keep the attribute on folders, so there the folder goes
// and only the contents can be checked.
TEST_F(Win32FileSystemTest, AReadOnlyFolderOfTheChainIsNotForced) {
    tree_.Add({"A/B/f"}, "D");
    AddAttributes(tree_.Path("D/A/B"), FILE_ATTRIBUTE_READONLY);
    const auto rows = Run("D");
    const auto after = tree_.Take("D");
    EXPECT_EQ(after.at("f"), "file:A/B/f");
    EXPECT_EQ(rows,
              (std::vector<Row>{RowOf("D", after.contains("A/B") ? kStatusError : kStatusDone)}));
    if (after.contains("A/B")) {
        EXPECT_NE(AttributesOf(tree_.Path("D/A/B")) & FILE_ATTRIBUTE_READONLY, 0u);
        SetAttributes(tree_.Path("D/A/B"), FILE_ATTRIBUTE_NORMAL);
    }
}

// Wine 8 cannot create junctions or NT symbolic links. The layer lists every
// reparse point as an entry that is no folder; the fake lists real folders
// that way here, to show that the walk then neither descends into one nor
// leaves it behind.
TEST_F(Win32FileSystemTest, AReparsePointIsNeverDescendedIntoButMovesAsItself) {
    tree_.Add({"J/inside"}, "D");
    tree_.Add({"A/B/f", "A/B/K/inside"}, "E");
    FailingFileSystem fake(*native_);
    fake.RewriteEntries([](Entry& entry) {
        if (entry.name == "J" || entry.name == "K") {
            entry.is_folder = false;
        }
    });
    ProcessDroppedPath(tree_.Path("D"), fake, sink_);
    ProcessDroppedPath(tree_.Path("E"), fake, sink_);
    EXPECT_EQ(sink_.rows,
              (std::vector<Row>{RowOf("D", kStatusUntouched), RowOf("E", kStatusDone)}));
    EXPECT_EQ(tree_.Take("D"), Described({"J/inside"}));
    EXPECT_EQ(Layout(tree_.Take("E")), Layout(Described({"f", "K/inside"})));
}

// A folder on the way that could be renamed mid-call could be swapped for a
// junction, and the call led out of the dropped folder.
TEST_F(Win32FileSystemTest, NoFolderOnTheWayCanBeRenamedDuringACall) {
    tree_.Add({"A/B/f"}, "D");
    std::vector<BOOL> renamed;
    const auto rename = [this, &renamed](const std::string& from, const std::string& to) {
        renamed.push_back(
            ::MoveFileExW(Wide(tree_.Path(from)).c_str(), Wide(tree_.Path(to)).c_str(), 0));
    };
    const EntryPath deepest = EntryPath(tree_.Path("D")).Child("A").Child("B");
    (void)native_->ListEntries(deepest, [&rename](const Entry&) {
        rename("D/A", "D/A2");
        rename("D/A/B", "D/A/B2");
        return false;
    });
    EXPECT_EQ(renamed, (std::vector<BOOL>{FALSE, FALSE}));
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({"A/B/f"})));
}

TEST_F(Win32FileSystemTest, TheDroppedFolderCannotBeRenamedWhileItIsHeld) {
    tree_.Add({"f"}, "D");
    const auto rename = [this](const std::string& from, const std::string& to) {
        return ::MoveFileExW(Wide(tree_.Path(from)).c_str(), Wide(tree_.Path(to)).c_str(), 0);
    };
    native_->HoldRoot(EntryPath(tree_.Path("D")));
    EXPECT_FALSE(rename("D", "E"));
    native_->ReleaseRoot(EntryPath(tree_.Path("D")));
    EXPECT_TRUE(rename("D", "E"));
}

// As an indexer or a preview pane holds a folder: open, without leave to
// rename or remove it.
HANDLE HoldAsAnotherProgram(const std::string& folder) {
    return ::CreateFileW(Wide(folder).c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

TEST_F(Win32FileSystemTest, AFolderHeldOpenForAMomentIsWaitedFor) {
    tree_.Add({"A/B/f"}, "D");
    const HANDLE held = HoldAsAnotherProgram(tree_.Path("D/A"));
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread let_go([held] {
        ::Sleep(200);
        ::CloseHandle(held);
    });
    const auto rows = Run("D");
    let_go.join();
    EXPECT_EQ(rows, (std::vector<Row>{RowOf("D", kStatusDone)}));
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({"f"})));
}

TEST_F(Win32FileSystemTest, AFolderHeldOpenForGoodIsLeftAndTheReasonSaysSo) {
    tree_.Add({"A/B/f"}, "D");
    const HANDLE held = HoldAsAnotherProgram(tree_.Path("D/A"));
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    testing::ReasonSink sink;
    ProcessDroppedPath(AsTheUserGivesIt(tree_.Path("D")), *native_, sink);
    ::CloseHandle(held);
    EXPECT_EQ(sink.rows, (std::vector<Row>{RowOf("D", kStatusError)}));
    EXPECT_NE(sink.reasons.at(0).find("still in use by another program after 1 s"),
              std::string::npos)
        << sink.reasons.at(0);
    EXPECT_EQ(Layout(tree_.Take("D")), Layout(Described({"A/B/f"})));
}

TEST_F(Win32FileSystemTest, ABareDriveMeansItsRootNotItsCurrentFolder) {
    wchar_t saved[MAX_PATH];
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, saved), 0u);
    ASSERT_TRUE(::SetCurrentDirectoryW(LR"(C:\windows)"));
    std::vector<std::string> names;
    const auto error = native_->ListEntries(EntryPath("C:"), [&names](const Entry& entry) {
        names.push_back(entry.name);
        return true;
    });
    ::SetCurrentDirectoryW(saved);
    EXPECT_EQ(error, kNoError);
    EXPECT_EQ(std::count(names.begin(), names.end(), "system32"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "windows"), 1);
}

// Wine shows a Unix link as the plain folder or file it leads to. What the
// Linux side sees, one line per entry below the tree: path, type, target.
std::string UnixListing(const TempTree& tree) {
    const std::string listing = testing::UnixPath(tree.Path("")) + ".listing";
    if (!testing::RunOnUnixSide("cd " + testing::ShellQuoted(testing::UnixPath(tree.Path(""))) +
                                " && find . -mindepth 1 -printf '%p %y %l\\n' | sort > " +
                                testing::ShellQuoted(listing) + "; chmod a+r " +
                                testing::ShellQuoted(listing))) {
        return "no listing";
    }
    std::ifstream in(std::filesystem::path(Wide(tree.Path("") + ".listing")));
    std::stringstream lines;
    lines << in.rdbuf();
    in.close();
    ::DeleteFileW(Wide(tree.Path("") + ".listing").c_str());
    return lines.str();
}

std::string LinesUnder(const std::string& listing, const std::string& prefix) {
    std::istringstream in(listing);
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) {
            kept += line + "\n";
        }
    }
    return kept;
}

class UnixLinkTest : public Win32FileSystemTest {
  protected:
    void SetUp() override {
        if (!testing::RunsUnderWine()) {
            GTEST_SKIP() << "Unix links are made from the Linux side of Wine";
        }
    }
    bool OnUnixSide(const std::string& script) {
        return testing::RunOnUnixSide(
            "cd " + testing::ShellQuoted(testing::UnixPath(tree_.Path(""))) + " && " + script);
    }
};

TEST_F(UnixLinkTest, AChainFolderThatIsALinkOutOfTheDroppedFolderIsNotFollowed) {
    const testing::UnixSideCleanUp clean_up(tree_.Path(""));
    // Wine lists a link as the dropped folder's only entry as a reparse
    // point: the folder then holds a single link and is left, as on Linux.
    const std::pair<std::string, std::string_view> cases[] = {{"A", kStatusUntouched},
                                                              {"A/B", kStatusError}};
    for (const auto& [link, status] : cases) {
        SCOPED_TRACE(link);
        ASSERT_TRUE(
            OnUnixSide("rm -rf D out && mkdir -p D/A out/o/sub && touch out/o/f out/o/sub/g"
                       " && rmdir D/" +
                       link + "; ln -s \"$PWD/out/o\" D/" + link));
        const std::string before = UnixListing(tree_);
        sink_.rows.clear();
        EXPECT_EQ(Run("D"), (std::vector<Row>{RowOf("D", status)}));
        EXPECT_EQ(UnixListing(tree_), before);
    }
}

// A link inside the deepest folder may move as itself; its target never moves.
TEST_F(UnixLinkTest, ALinkInsideTheDeepestFolderNeverMovesItsTarget) {
    const testing::UnixSideCleanUp clean_up(tree_.Path(""));
    for (const std::string target : {"\"$PWD/out/file\"", "\"$PWD/out/o\"", "f"}) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(
            OnUnixSide("rm -rf D out && mkdir -p D/A/B out/o && touch D/A/B/f out/file"
                       " out/o/g && ln -s " +
                       target + " D/A/B/link"));
        const std::string before = UnixListing(tree_);
        sink_.rows.clear();
        const auto rows = Run("D");
        const std::string after = UnixListing(tree_);
        EXPECT_EQ(LinesUnder(after, "./out"), LinesUnder(before, "./out"));
        const auto has = [&after](const std::string& line) {
            return after.find(line) != std::string::npos;
        };
        EXPECT_NE(has("./D/link l "), has("./D/A/B/link l ")) << after;
        EXPECT_NE(has("./D/f f"), has("./D/A/B/f f")) << after;
        EXPECT_NE(rows.at(0).second, std::string(kStatusUntouched));
    }
}

}  // namespace
}  // namespace karuneo
