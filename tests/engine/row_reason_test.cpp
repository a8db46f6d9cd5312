// Why a row reads as it does, on real trees: one case per reason, each
// checked by the English text, which names the entry concerned, and, where
// reading the disk shows the cause, by a dry run giving the very same text.
#include "engine/reason/row_reason.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "engine/dry_run/dry_run_file_system.h"
#include "engine/entry_path.h"
#include "engine/native_file_system.h"
#include "engine/nest_limit.h"
#include "engine/path_separator.h"
#include "engine/system_code.h"
#include "engine/testing/failing_file_system.h"
#include "engine/unnest.h"
#include "results/rules/reason_text.h"
#include "results/rules/status_text.h"
#include "tests/support/named_cases.h"
#include "tests/support/platform.h"
#include "tests/support/reason_sink.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_tree.h"
#include "tests/support/walk_harness.h"

namespace karuneo {
namespace {

using testing::ReasonSink;

using testing::FailingFileSystem;
using testing::Operation;
using testing::Row;
using testing::TempTree;

// The system's own codes for what the fake stands in for.
#ifdef _WIN32
constexpr int kNameTooLongCode = 206;  // ERROR_FILENAME_EXCED_RANGE
constexpr int kIoCode = 1117;          // ERROR_IO_DEVICE
#else
constexpr int kNameTooLongCode = 36;  // ENAMETOOLONG
constexpr int kIoCode = 5;            // EIO
#endif

struct Injected {
    Operation operation = Operation::kFolderName;
    int nth = 0;
    Failure failure;
};

struct ReasonCase {
    const char* name;
    std::vector<std::string> tree;  // "D" is the folder dropped
    std::string_view status;
    std::string reason;  // paths with "/"
    Injected injected{};
    bool links = false;
    bool deep = false;  // minutes under Wine; the text is the same everywhere
};

std::string DeepChain() {
    std::string chain = "D";
    for (int level = 0; level <= kMaxNestLevel + 1; ++level) {
        chain += "/d";
    }
    return chain + "/f";
}

const std::string kRestInA = " Nothing was overwritten or lost; what was not moved is in \"A\".";

const ReasonCase kReasonCases[] = {
    {"ANameTheDroppedFolderAlreadyHolds",
     {"D/.x", "D/A/B/.x", "D/A/B/f"},
     kStatusError,
     "could not move \"A/B/.x\": \".x\" already exists in the dropped folder." + kRestInA},
    {"AFolderThatMayNotBeChanged",
     {"D/A/B/f", "D/A/B/G/g"},
     kStatusError,
     "could not move \"A/B/G\": no permission." + kRestInA,
     {Operation::kMoveEntries, 2, Failure(kPermissionDenied)}},
    {"AnotherFileSystem",
     {"D/A/B/f"},
     kStatusError,
     "could not move \"A/B/f\": it is on another file system or behind a boundary the system "
     "will not rename across." +
         kRestInA,
     {Operation::kMoveEntries, 1, Failure(kDifferentDrive)}},
    {"ANameTooLong",
     {"D/A/B/f"},
     kStatusError,
     "could not rename \"A\": the name is too long. Nothing was changed.",
     {Operation::kRenameFolder, 1, {kBadFileName, kNameTooLongCode, ""}}},
    {"TheSystemsOwnMessage",
     {"D/A/B/f1", "D/A/B/f2"},
     kStatusError,
     "could not list \"A/B\": " + SystemMessage(kIoCode, MessageLanguage::kEnglish) +
         ". Nothing was changed.",
     {Operation::kListEntries, 3, {kDeviceIoError, kIoCode, ""}}},
    {"ADroppedLink",
     {"real/A/f", "D->real"},
     kStatusError,
     "could not open \"D\": it is a link, and links are never followed. Nothing was changed.",
     {},
     true},
    {"AChainTooDeep",
     {DeepChain()},
     kStatusError,
     "the chain is more than 256 folders deep. Nothing was changed.",
     {},
     false,
     true},
    {"Empty", {"D/"}, kStatusUntouched, "the folder is empty; nothing was changed"},
    {"SeveralEntries",
     {"D/a", "D/b/", "D/.h"},
     kStatusUntouched,
     "it holds 2 entries, \"a\" and \"b\"; nothing was changed"},
    {"FourEntriesAreCountedNotNamed",
     {"D/a", "D/b/", "D/c", "D/d"},
     kStatusUntouched,
     "it holds 4 entries, not a single folder; nothing was changed"},
    {"ThreeEntriesAreNamedInOrder",
     {"D/z", "D/__MACOSX/", "D/A/"},
     kStatusUntouched,
     "it holds 3 entries, \"A\", \"__MACOSX\" and \"z\"; nothing was changed"},
    {"ASingleFile",
     {"D/f"},
     kStatusUntouched,
     "it holds a single file, \"f\"; nothing was changed"},
    {"ASingleLink",
     {"D/L->../x"},
     kStatusUntouched,
     "it holds a single link, \"L\", and links are never followed; nothing was changed",
     {},
     true},
    {"AChainFolderKeptForItsHiddenEntries",
     {"D/A/.git/c", "D/A/B/f"},
     kStatusDone,
     "the folder \"A\" stayed: it holds hidden entries, which were kept"},
    {"AKeptChainFolderWhoseOwnNameWasTaken",
     {"D/A/.git/c", "D/A/B/A/z", "D/A/B/y"},
     kStatusDone,
     "the folder \"tmpname\" stayed: it holds hidden entries, which were kept; it keeps a "
     "temporary name, as its own name \"A\" could not be given back"},
};

// Paths in quotes with the platform's separator.
std::string Native(std::string text) {
    bool quoted = false;
    for (auto& c : text) {
        quoted = c == '"' ? !quoted : quoted;
        c = quoted && c == '/' ? kPathSeparator : c;
    }
    return text;
}

ReasonSink Walk(const ReasonCase& c, bool dry) {
    TempTree tree;
    tree.Add(c.tree);
    const auto native = MakeNativeFileSystem();
    FailingFileSystem fake(*native);
    fake.QueueTempNames({std::string(testing::kQueuedTempName) + ".tmp"});
    fake.FailNthCall(c.injected.operation, c.injected.nth, c.injected.failure);
    std::ostringstream operations;
    dry_run::DryRunFileSystem preview(fake, operations);
    ReasonSink sink;
    ProcessDroppedPath(tree.Path("D"), dry ? static_cast<FileSystem&>(preview) : fake, sink);
    return sink;
}

class RowReasonCaseTest : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(RowReasonCaseTest, EachRowTellsWhyAndNamesTheEntry) {
    const ReasonCase& c = GetParam();
    if ((c.links && !testing::CanCreateLinks()) || (c.deep && testing::RunsUnderWine())) {
        GTEST_SKIP() << "no links on this system, or minutes under Wine";
    }
    // A failure that only the fake gives does not show in a dry run.
    const bool seen_by_dry_run = c.injected.nth == 0;
    for (const bool dry : {false, true}) {
        if (dry && !seen_by_dry_run) {
            continue;
        }
        SCOPED_TRACE(dry ? "dry run" : "real run");
        const ReasonSink sink = Walk(c, dry);
        EXPECT_EQ(sink.rows, (std::vector<Row>{{"D", std::string(c.status)}}));
        EXPECT_EQ(sink.reasons, std::vector<std::string>{Native(c.reason)});
    }
}

INSTANTIATE_TEST_SUITE_P(Reasons, RowReasonCaseTest, ::testing::ValuesIn(kReasonCases),
                         testing::CaseName());

// A name Windows cannot hold is named whole, with what it holds, so that
// "a\b" is never read as a folder "a" holding "b".
#ifdef _WIN32
TEST(RowReasonTest, ANameWindowsCannotHoldIsNamedWholeWithWhatItHolds) {
    TempTree tree;
    tree.Add({"D/A/", "D/B/"});
    const auto native = MakeNativeFileSystem();
    const EntryPath d(tree.Path("D"));
    const struct {
        std::string name;
        std::string cause;
    } names[] = {{"p|s", "\"p|s\", as it holds \"|\""},
                 {"a:b", "\"a:b\", as it holds \":\""},
                 {"a\\b?", "\"a\\b?\", as it holds \"\\\" and \"?\""}};
    for (const auto& [name, cause] : names) {
        SCOPED_TRACE(name);
        const Failure failure = native->MoveEntries(d.Child("A"), {&name, 1}, d.Child("B"));
        EXPECT_EQ(ReasonInEnglish(ReasonForFailure(Attempt::kMove, failure), "D"),
                  "could not move \"A\\" + name + "\": Windows cannot hold the name " + cause +
                      ". Nothing was changed.");
    }
}
#else
TEST(RowReasonTest, ANameWindowsCannotHoldIsNamedWholeWithWhatItHolds) {
    // As Wine or a share shows a name made here: the system refuses it.
    TempTree tree;
    tree.Add({"D/A/B/a\\b"});
    const auto native = MakeNativeFileSystem();
    FailingFileSystem refusing(*native);
    refusing.QueueTempNames({std::string(testing::kQueuedTempName) + ".tmp"});
    refusing.FailNthCall(Operation::kMoveEntries, 1, Failure(kBadFileName));
    ReasonSink sink;
    ProcessDroppedPath(tree.Path("D"), refusing, sink);
    EXPECT_EQ(sink.reasons,
              std::vector<std::string>{"could not move \"A/B/a\\b\": Windows cannot hold the name "
                                       "\"a\\b\", as it holds \"\\\"." +
                                       kRestInA});
    ErrorReason japanese;
    japanese.attempt = Attempt::kMove;
    japanese.entry = "A/B/a\\b";
    japanese.cause = Cause::kNameNotAllowed;
    japanese.name = "a\\b";
    EXPECT_EQ(ReasonInJapanese(japanese, "D"),
              "「A/B/a\\b」を移動できませんでした。名前「a\\b」には Windows の名前に使えない"
              "文字「\\」が含まれています。何も変更していません。");
}
#endif

TEST(RowReasonTest, AFlattenedChainNeedsNoReason) {
    TempTree tree;
    tree.Add({"A/B/f"}, "D");
    const auto native = MakeNativeFileSystem();
    ReasonSink sink;
    ProcessDroppedPath(tree.Path("D"), *native, sink);
    EXPECT_EQ(sink.reasons, std::vector<std::string>{""});
}

TEST(RowReasonTest, TheWindowsSayItInJapanese) {
    const std::string sep(1, kPathSeparator);
    const ErrorReason clash{Attempt::kMove,
                            "A" + sep + "f",
                            Cause::kAlreadyExists,
                            kFileAlreadyExists,
                            0,
                            ChainPlace::kOwnName,
                            "A",
                            {}};
    EXPECT_EQ(ReasonInJapanese(clash, "D"),
              "「A" + sep +
                  "f」を移動できませんでした。同じ名前の「f」がドロップしたフォルダに既にあります。"
                  "上書きも消失もありません。移動していないものは「A」にあります。");
    EXPECT_EQ(ReasonInJapanese(UntouchedReason{NotNested::kEntries, 4, {}}, "D"),
              "項目が 4 個あり、フォルダ 1 つだけではありません。何も変更していません。");
    EXPECT_EQ(ReasonInJapanese(UntouchedReason{NotNested::kEntries, 3, {"A", "B", "C"}}, "D"),
              "項目が 3 個(「A」、「B」と「C」)あり、フォルダ 1 つだけではありません。"
              "何も変更していません。");
    EXPECT_EQ(ReasonInJapanese(UntouchedReason{NotNested::kSingleFile, 1, {"x"}}, "D"),
              "ファイル「x」が 1 つあるだけです。何も変更していません。");
    EXPECT_EQ(ReasonInJapanese(KeptChainReason{"A", ChainPlace::kOwnName, ""}, "D"),
              "「A」は隠し項目を含むため残しました。隠し項目はそのままです。");
}

// The system's part of a reason speaks the wording's language whatever the
// user's locale: an English phrase inside the window's Japanese sentence
// read as a fault.
TEST(RowReasonTest, TheSystemsPartSpeaksTheWordingsLanguage) {
    const ErrorReason failed_listing{Attempt::kList,
                                     "A",
                                     Cause::kSystem,
                                     kDeviceIoError,
                                     kIoCode,
                                     ChainPlace::kOwnName,
                                     "A",
                                     {}};
    const std::string english = SystemMessage(kIoCode, MessageLanguage::kEnglish);
    ASSERT_FALSE(english.empty());
    EXPECT_NE(ReasonInEnglish(failed_listing, "D").find(english), std::string::npos);
#ifdef _WIN32
    // Windows has the Japanese text only where its Japanese language is
    // installed, and gives the user's otherwise.
    EXPECT_FALSE(SystemMessage(kIoCode, MessageLanguage::kJapanese).empty());
#else
    const std::string japanese = ReasonInJapanese(failed_listing, "D");
    EXPECT_EQ(japanese.find(english), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("ディスクの読み書きに失敗しました"), std::string::npos) << japanese;
    // Every code a file system gives has a text, ours or the system's.
    EXPECT_FALSE(SystemMessage(EROFS, MessageLanguage::kJapanese).empty());
#endif
}

}  // namespace
}  // namespace karuneo
