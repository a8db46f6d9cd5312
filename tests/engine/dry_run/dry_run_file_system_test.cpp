#include "engine/dry_run/dry_run_file_system.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "engine/dry_run/terminal_token.h"
#include "engine/path_separator.h"
#include "engine/testing/failing_file_system.h"
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
    walk.fake().FailNthCall(failure.operation, failure.nth, failure.error);
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

TEST(DryRunFileSystemTest, PrintsEachChangeItKeeps) {
    const struct {
        std::vector<std::string> entries;
        std::string operations;
    } cases[] = {
        {{"A/B/f1"},
         Lines({"rename A -> tmpname", "move tmpname/B/f1 -> f1", "remove tmpname/B",
                "remove tmpname"})},
        {{"A/B/f", "A/.h"},
         Lines({"rename A -> tmpname", "move tmpname/B/f -> f", "remove tmpname/B",
                "rename back tmpname -> A"})},
        {{".h", "A/.h"}, Lines({"rename A -> tmpname", "rename back tmpname -> A"})},
        {{"x", "y"}, ""},
    };
    for (const auto& [entries, operations] : cases) {
        EXPECT_EQ(Walk(entries, {Operation::kFolderName, 0, kNoError}, true).operations,
                  operations);
    }
}

TEST(DryRunFileSystemTest, TerminalTokensHideNothingAndControlNothing) {
    const std::pair<std::string, std::string> cases[] = {
        {"f1", "f1"},
        {"日本", "日本"},
        {"", "\"\""},
        {"sp ace", "\"sp ace\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"red\x1b[31m\n", "\"red\\x1B[31m\\x0A\""},
        {"bad\xff\xe6\x97", "\"bad\\xFF\\xE6\\x97\""},
        {"\xc2\x9b"
         "2J",
         "\"\\u{9B}2J\""},
        {"\xe2\x80\xae"
         "gpj.exe",
         "\"\\u{202E}gpj.exe\""},
        {"\xed\xa0\x80", "\"\\xED\\xA0\\x80\""},
    };
    for (const auto& [text, token] : cases) {
        EXPECT_EQ(TerminalToken(text), token);
    }
}

}  // namespace
}  // namespace karuneo::dry_run
