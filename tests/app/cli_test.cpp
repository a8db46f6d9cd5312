#include "app/cli/cli.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/native_file_system.h"
#include "engine/path_separator.h"
#include "results/rules/escaped_text.h"
#include "tests/app/cli_run.h"
#include "tests/support/cli_reason_lines.h"
#include "tests/support/journal_tree.h"
#include "tests/support/platform.h"
#include "tests/support/temp_tree.h"

namespace karuneo::cli {
namespace {

using testing::ReasonLines;
using testing::TempTree;

// Trips once asked `questions` times, as a Ctrl+C (130) or SIGTERM (143)
// arriving part-way would.
class InterruptAt final : public Interruption {
  public:
    InterruptAt(int questions, int status) : left_(questions), status_(status) {}
    int ExitStatus() const override { return --left_ <= 0 ? status_ : 0; }

  private:
    mutable int left_;
    int status_;
};

struct Interrupted {
    int status;
    std::string out;
    std::string err;
};

// D's deepest folder holds f and G; files move first. The interruption is
// asked before D, before its top is renamed, before f, then before G.
Interrupted InterruptBeforeG(const TempTree& tree, int status) {
    tree.Add({"A/B/f", "A/B/G/g"}, "D");
    tree.Add({"A/f"}, "E");
    const auto fs = MakeNativeFileSystem();
    std::ostringstream out;
    std::ostringstream err;
    InterruptAt interruption(4, status);
    const std::vector<std::string> args{tree.Path("D"), tree.Path("E")};
    return {RunCli(args, *fs, out, err, interruption), out.str(), err.str()};
}

TEST(CliTest, CtrlCStopsTheFolderInHandPutsItBackAndStartsNoOther) {
    TempTree tree;
    const auto run = InterruptBeforeG(tree, 130);
    EXPECT_EQ(run.status, 130);
    EXPECT_EQ(run.out, "D\tエラー\n");
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(ReasonLines(run.err), "karuneo-cli: D: the work was stopped before \"A" + sep + "B" +
                                        sep +
                                        "G\". Nothing was overwritten or lost; everything was "
                                        "put back as it was.\n"
                                        "karuneo-cli: stopped; 1 folder was not started\n");
    EXPECT_EQ(testing::Layout(tree.Take("D")),
              testing::Layout(testing::Described({"A/", "A/B/", "A/B/f", "A/B/G/", "A/B/G/g"})));
    EXPECT_TRUE(tree.Take("E").contains("A/f"));
}

// A SIGTERM or a closing console leaves no time to put back: what moved
// stays moved, and --undo can put it back later.
TEST(CliTest, SigtermStopsTheFolderInHandAndLeavesItAsItStands) {
    TempTree tree;
    const auto run = InterruptBeforeG(tree, 143);
    EXPECT_EQ(run.status, 143);
    EXPECT_EQ(run.out, "D\tエラー\n");
    EXPECT_NE(run.err.find("what was not moved is in \"A\"."), std::string::npos) << run.err;
    EXPECT_TRUE(tree.Take("D").contains("f"));
    EXPECT_TRUE(tree.Take("D").contains("A/B/G/g"));
}

// The lines --history gives for runs on `folder`, by state.
std::vector<std::string> StatesOf(const std::string& history, const std::string& folder) {
    std::vector<std::string> states;
    std::istringstream lines(history);
    for (std::string line; std::getline(lines, line);) {
        const auto state = line.find('\t');
        const auto time = line.find('\t', state + 1);
        const auto path = line.find('\t', time + 1);
        EXPECT_EQ(path - time - 1, std::string_view("2024-05-01 09:30:15").size()) << line;
        if (path != std::string::npos && line.substr(path + 1) == EscapeControls(folder)) {
            states.push_back(line.substr(state + 1, time - state - 1));
        }
    }
    return states;
}

TEST(CliTest, HistoryListsTheKeptRunsAndForgetRetiresACutOffOne) {
    TempTree tree;
    tree.Add({"A/B/f"}, "D");
    tree.Add({"A/B/f1", "A/B/f2", "A/B/f3"}, "E");
    ASSERT_EQ(RunWith({tree.Path("D")}).status, kExitOk);
    ASSERT_EQ(RunWith({"--undo", tree.Path("D")}).status, kExitOk);
    testing::LeaveACutOffRun(tree.Path("E"), 15);

    const CliRun history = RunWith({"--history"});
    const CliRun dry = RunWith({"--dry-run", "--forget", tree.Path("E")});
    const CliRun forget = RunWith({"--forget", tree.Path("E")});
    const CliRun again = RunWith({"--forget", tree.Path("E")});

    EXPECT_EQ(history.status, kExitOk);
    EXPECT_EQ(StatesOf(history.out, tree.Path("D")), (std::vector<std::string>{"undone", "undo"}));
    EXPECT_EQ(StatesOf(history.out, tree.Path("E")), std::vector<std::string>{"cut off"});
    EXPECT_NE(dry.err.find("would forget 1 cut-off run"), std::string::npos) << dry.err;
    EXPECT_EQ(forget.status, kExitOk) << forget.err;
    EXPECT_EQ(StatesOf(RunWith({"--history"}).out, tree.Path("E")),
              std::vector<std::string>{"forgotten"});
    EXPECT_EQ(again.status, kExitSomeFailed) << "nothing left to forget";
}

TEST(CliTest, ReportsEachFolderInOrderAndSucceedsWithoutErrors) {
    TempTree tree;
    tree.Add({"A/B/f"}, "nested");
    tree.Add({"f", "g"}, "flat");
    tree.Add({"file"});
    const CliRun run = RunWith({tree.Path("nested") + "/", tree.Path("file"), tree.Path("flat")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "nested\t完了\nflat\t未処理\n");
    EXPECT_EQ(run.err,
              "karuneo-cli: flat: it holds 2 entries, \"f\" and \"g\"; nothing was changed\n");
}

// Standard output stays what scripts read; each row with a reason adds one
// line to standard error, the same in a dry run as in the real run.
TEST(CliTest, ReasonsGoToStandardErrorAlikeInADryRun) {
    const std::vector<std::string> entries{"kept/A/.git/c", "kept/A/B/f", "clash/.x",
                                           "clash/A/B/.x", "clash/A/B/f"};
    const std::string reasons =
        "karuneo-cli: kept: the folder \"A\" stayed: it holds hidden entries, which were kept\n"
        "karuneo-cli: clash: could not move \"A" +
        std::string(1, kPathSeparator) + "B" + std::string(1, kPathSeparator) +
        ".x\": \".x\" already exists in the dropped folder. Nothing was overwritten or lost; "
        "what was not moved is in \"A\".\n";
    for (const bool dry : {true, false}) {
        TempTree tree;
        tree.Add(entries);
        std::vector<std::string> args{tree.Path("kept"), tree.Path("clash")};
        args.insert(args.begin(), dry ? "--dry-run" : "--");
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.out, "kept\t完了\nclash\tエラー\n");
        EXPECT_EQ(ReasonLines(run.err), reasons) << (dry ? "dry run" : "real run");
    }
}

TEST(CliTest, FailsWhenAnyFolderFailsAndShowsOddNamesReadably) {
    if (!testing::CanCreateLinks() || !testing::kNamesAreBytes) {
        GTEST_SKIP() << "needs symbolic links and names that are bytes";
    }
    TempTree tree;
    tree.Add({"A/f"}, "real");
    tree.Add({"link->real"});
    tree.Add({"A/f"}, "bad\xff");
    const CliRun run = RunWith({tree.Path("link"), tree.Path("bad\xff")});
    EXPECT_EQ(run.status, kExitSomeFailed);
    EXPECT_EQ(run.out, "link\tエラー\nbad\xEF\xBF\xBD\t完了\n");
}

// As the system resolves "link/": the folder behind the link, by its own name.
TEST(CliTest, ALinkGivenWithATrailingSlashFlattensTheFolderBehindIt) {
    if (!testing::CanCreateLinks()) {
        GTEST_SKIP() << "needs symbolic links";
    }
    TempTree tree;
    tree.Add({"A/f"}, "real");
    tree.Add({"link->real"});
    const CliRun run = RunWith({tree.Path("link") + kPathSeparator});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "real\t完了\n");
    EXPECT_TRUE(tree.Take("real").contains("f"));
}

TEST(CliTest, RejectsUsageErrorsWithoutTouchingAnything) {
    TempTree tree;
    tree.Add({"A/f"}, "D");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{}, {"--bogus", tree.Path("D")}, {"--"}}) {
        const CliRun run = RunWith(args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage: karuneo-cli"), std::string::npos);
    }
    EXPECT_EQ(tree.Take("D").count("A/f"), 1u);
}

TEST(CliTest, HelpAndVersionGoToStandardOutput) {
    const CliRun run = RunWith({"--help"});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_NE(run.out.find("Usage: karuneo-cli"), std::string::npos);
    for (const char* option : {"--dry-run", "--undo", "--recover", "--version", "130 or 143"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
    const CliRun version = RunWith({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, "karuneo-cli " KARUNEO_VERSION "\n");
}

// Each system is stopped in its own words: a Windows console has no SIGTERM,
// and its users ask for help with /?, which on POSIX is a folder's path.
TEST(CliTest, HelpNamesTheStopsOfItsOwnSystem) {
#ifdef _WIN32
    const std::vector<std::string> named{"Ctrl+C", "Ctrl+Break", "closing the\nconsole"};
    const std::vector<std::string> foreign{"SIGINT", "SIGTERM"};
    EXPECT_EQ(RunWith({"/?"}).out, RunWith({"--help"}).out);
#else
    const std::vector<std::string> named{"SIGINT", "SIGTERM"};
    const std::vector<std::string> foreign{"Ctrl+Break", "console"};
    EXPECT_EQ(RunWith({"/?"}).out.find("Usage"), std::string::npos);
#endif
    const std::string help = RunWith({"--help"}).out;
    for (const auto& word : named) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
    for (const auto& word : foreign) {
        EXPECT_EQ(help.find(word), std::string::npos) << word;
    }
}

TEST(CliTest, TakesFolderNamesThatLookLikeOptionsAfterDoubleDash) {
    TempTree tree;
    tree.Add({"A/f"}, "-x");
    const CliRun run = RunWith({"--", tree.Path("-x")});
    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out, "-x\t完了\n");
}

TEST(CliTest, OneRowIsOneLineWhateverTheName) {
    if (!testing::kNamesAreBytes) {
        GTEST_SKIP() << "Windows names cannot hold control characters";
    }
    TempTree tree;
    tree.Add({"A/f"}, "two\nlines");
    const CliRun run = RunWith({tree.Path("two\nlines")});
    EXPECT_EQ(run.out, "two\\nlines\t完了\n");
    EXPECT_EQ(tree.Take("two\nlines").count("f"), 1u) << "the name on disk stays as it is";
}

// Output that cannot be written, as to a full disk.
class FullBuffer final : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(CliTest, AReportThatCannotBeWrittenFailsAndStopsBeforeTheNextFolder) {
    TempTree tree;
    tree.Add({"A/f"}, "D");
    tree.Add({"A/f"}, "E");
    const auto fs = MakeNativeFileSystem();
    FullBuffer full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunCli({{tree.Path("D"), tree.Path("E")}}, *fs, out, err), kExitSomeFailed);
    EXPECT_NE(err.str().find("cannot write the report"), std::string::npos);
    EXPECT_EQ(tree.Take("E").count("A/f"), 1u) << "E must stay untouched";
}

TEST(CliTest, DryRunPrintsTheRealRunsLinesAndItsChangesButMakesNone) {
    TempTree tree;
    tree.Add({"A/B/f"}, "nested");
    tree.Add({"f", "g"}, "flat");
    const auto before = tree.Take("");
    for (const char* option : {"-n", "--dry-run"}) {
        const CliRun run = RunWith({option, tree.Path("nested"), tree.Path("flat")});
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out, "nested\t完了\nflat\t未処理\n");
        EXPECT_NE(run.err.find("\nrename A -> karuneo"), std::string::npos) << run.err;
        EXPECT_EQ(tree.Take(""), before);
    }
    EXPECT_NE(RunWith({"--help"}).out.find("--dry-run"), std::string::npos);
}

}  // namespace
}  // namespace karuneo::cli
