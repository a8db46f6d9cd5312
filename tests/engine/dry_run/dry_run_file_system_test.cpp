#include "engine/dry_run/dry_run_file_system.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/dry_run/terminal_token.h"
#include "engine/path_separator.h"
#include "engine/testing/failing_file_system.h"
#include "tests/support/named_cases.h"
#include "tests/support/walk_harness.h"

namespace karuneo::dry_run {
namespace {

using testing::Operation;
using testing::Row;
using testing::WalkHarness;

struct Failure {
    Operation operation;
    int nth;
    ErrorNumber error;
};

struct WalkRun {
    std::vector<Row> rows;
    std::string operations;
    bool failed = false;
};

// The same tree and the same failure, with the fake under the dry run or
// alone: a failure that reading the disk shows must show in both alike.
WalkRun Walk(const std::vector<std::string>& entries, const Failure& failure, bool dry) {
    WalkHarness walk;
    walk.AddToDropped(entries);
    walk.fake().FailNthCall(failure.operation, failure.nth, karuneo::Failure(failure.error));
    std::ostringstream operations;
    DryRunFileSystem preview(walk.fake(), operations);
    const auto before = walk.Dropped();
    walk.RunThrough(dry ? static_cast<FileSystem&>(preview) : walk.fake());
    if (dry) {
        EXPECT_EQ(walk.Dropped(), before);
    }
    const std::string text = operations.str();
    return {walk.rows(), text.substr(std::min(text.find('\n') + 1, text.size())),
            walk.fake().failed()};
}

TEST(DryRunFileSystemTest, AFailureOfTheFakeBelowShowsAsInARealRun) {
    const std::vector<std::vector<std::string>> trees = {
        {"A/B/f1", "A/B/G/g"}, {"A/.h", "A/B/f"}, {"A/x", "b"}, {".h", "A/.h"}};
    for (const auto& entries : trees) {
        for (const Operation operation : {Operation::kFolderName, Operation::kListEntries}) {
            for (const ErrorNumber error : {kPathNotFound, kDeviceIoError}) {
                for (int nth = 1;; ++nth) {
                    SCOPED_TRACE(entries.front() + " " + std::string(OperationName(operation)) +
                                 " " + std::to_string(nth));
                    const WalkRun real = Walk(entries, {operation, nth, error}, false);
                    EXPECT_EQ(Walk(entries, {operation, nth, error}, true).rows, real.rows);
                    if (!real.failed) {
                        break;
                    }
                }
            }
        }
    }
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (auto line : lines) {
        for (auto& c : line) {
            c = c == '/' ? kPathSeparator : c;
        }
        text += line + '\n';
    }
    return text;
}

struct PrintCase {
    const char* name;
    std::vector<std::string> entries;
    std::string operations;
};

const PrintCase kPrintCases[] = {
    {"AChainFlattened",
     {"A/B/f1"},
     Lines(
         {"rename A -> tmpname", "move tmpname/B/f1 -> f1", "remove tmpname/B", "remove tmpname"})},
    {"AChainFolderKeptForItsHiddenEntry",
     {"A/B/f", "A/.h"},
     Lines({"rename A -> tmpname", "move tmpname/B/f -> f", "remove tmpname/B",
            "rename back tmpname -> A"})},
    {"NothingToMove", {".h", "A/.h"}, Lines({"rename A -> tmpname", "rename back tmpname -> A"})},
    {"NotNested", {"x", "y"}, ""},
};

class DryRunPrintTest : public ::testing::TestWithParam<PrintCase> {};

TEST_P(DryRunPrintTest, PrintsEachChangeItKeeps) {
    EXPECT_EQ(Walk(GetParam().entries, {Operation::kFolderName, 0, kNoError}, true).operations,
              GetParam().operations);
}

INSTANTIATE_TEST_SUITE_P(Trees, DryRunPrintTest, ::testing::ValuesIn(kPrintCases),
                         testing::CaseName());

const testing::TextCase kTokenCases[] = {
    {"Plain", "f1", "f1"},
    {"Japanese", "日本", "日本"},
    {"Empty", "", "\"\""},
    {"Space", "sp ace", "\"sp ace\""},
    {"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
    {"EscapeAndNewLine", "red\x1b[31m\n", "\"red\\x1B[31m\\x0A\""},
    {"InvalidUtf8", "bad\xff\xe6\x97", "\"bad\\xFF\\xE6\\x97\""},
    {"C1Control",
     "\xc2\x9b"
     "2J",
     "\"\\u{9B}2J\""},
    {"RightToLeftOverride",
     "\xe2\x80\xae"
     "gpj.exe",
     "\"\\u{202E}gpj.exe\""},
    {"Surrogate", "\xed\xa0\x80", "\"\\xED\\xA0\\x80\""},
    {"LineSeparator", "a\u2028b", "\"a\\u{2028}b\""},
    {"ParagraphSeparator", "a\u2029b", "\"a\\u{2029}b\""},
};

using TerminalTokenTest = testing::TextCaseTest;

TEST_P(TerminalTokenTest, TerminalTokensHideNothingAndControlNothing) {
    EXPECT_EQ(TerminalToken(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, TerminalTokenTest, ::testing::ValuesIn(kTokenCases),
                         testing::CaseName());

}  // namespace
}  // namespace karuneo::dry_run
