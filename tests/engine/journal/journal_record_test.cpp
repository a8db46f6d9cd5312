#include "engine/journal/journal_record.h"

#include <gtest/gtest.h>

namespace karuneo::journal {
namespace {

TEST(JournalRecordTest, AnyBytesInANameComeBackAsTheyWere) {
    const std::string name("a b%c/d\n\x1b\xff\xe3\x81\x82", 14);
    const auto token = EscapeToken(name);
    EXPECT_EQ(token.find_first_of(" \n/"), std::string::npos);
    EXPECT_EQ(UnescapeToken(token), name);
    EXPECT_EQ(PathFromToken(PathToken({"x y", name})), (std::vector<std::string>{"x y", name}));
    EXPECT_FALSE(UnescapeToken("%4"));
    EXPECT_FALSE(UnescapeToken("a b"));
}

// An absolute path on the system the tests run on: a journal takes no other.
#ifdef _WIN32
const std::string kRoot = "C:\\me\\D";
#else
const std::string kRoot = "/home/me/D";
#endif

FlattenPlan SamplePlan() {
    FlattenPlan plan;
    plan.root = EntryPath(kRoot);
    plan.root_identity = {7, 42, EntryKind::kFolder};
    plan.root_hidden = {".git"};
    plan.chain = {{"A", {7, 43, EntryKind::kFolder}, {0750, 1, 2, 1000, 100, {{"user.x", "v 1"}}}},
                  {"B", {7, 44, EntryKind::kFolder}, {0755, 3, 4, 0, 0, {}}}};
    plan.entries = {{"f 1", 45, EntryKind::kFile}, {"G", 46, EntryKind::kFolder}};
    return plan;
}

TEST(JournalRecordTest, ReadsBackThePlanAndTheStepsAndATornLastLineAsNeverWritten) {
    std::string text =
        PlanLines(SamplePlan(), kRoot) + TempLine("karuneo0a1b2c3d") + MovedLine("f 1") + "m G";
    const auto run = ParseJournal(text);
    ASSERT_TRUE(run.ok());
    EXPECT_TRUE(run.value().planned);
    EXPECT_EQ(run.value().root, kRoot);
    EXPECT_EQ(run.value().root_identity.id, 42u);
    EXPECT_EQ(run.value().top(), "A");
    EXPECT_EQ(run.value().chain.at(0).look, SamplePlan().chain[0].look);
    EXPECT_EQ(run.value().chain.at(1).identity.id, 44u);
    EXPECT_EQ(run.value().entries.size(), 2u);
    EXPECT_EQ(run.value().temp(), "karuneo0a1b2c3d");
    EXPECT_EQ(run.value().moved, std::vector<std::string>{"f 1"});
    EXPECT_FALSE(run.value().closed);

    text += std::string("\n") + SettledLine(ChainPlace::kGone) + std::string(kCloseLine);
    EXPECT_TRUE(ParseJournal(text).value().closed);
    EXPECT_EQ(ParseJournal(text).value().settled, ChainPlace::kGone);
    EXPECT_TRUE(EndsClosed(text));
}

TEST(JournalRecordTest, AWholeLineThatMakesNoSenseIsDamageWithItsNumber) {
    const std::string text = PlanLines(SamplePlan(), kRoot) + "e 12 f\n";
    const auto run = ParseJournal(text);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(run.error().system_code, 11);
    EXPECT_FALSE(ParseJournal("karuneo-journal 3\n").ok());
}

// A journal is a file anybody with the user's rights can write: a path in it
// that could lead out of the dropped folder makes it damaged, never acted on.
TEST(JournalRecordTest, PathsThatCouldReachOutsideTheFolderAreDamage) {
    const std::string plan = PlanLines(SamplePlan(), kRoot);
    for (const std::string line : {"m ..\n", "m .\n", "m a%2Fb\n", "removed A/../..\n",
                                   "removed A//B\n", "temp ..\n", "e 1 f ..\n"}) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(ParseJournal(plan + line).ok());
    }
    EXPECT_FALSE(ParseJournal(std::string(kFirstLine) + "\nroot relative%2FD 1 2\n").ok());
    EXPECT_FALSE(ParseJournal(std::string(kFirstLine) + "\nchain A/..\n").ok());
}

TEST(JournalRecordTest, AFirstVersionJournalIsReadAsItsRun) {
    const std::string text =
        "karuneo-journal 1\nroot " + EscapeToken(kRoot) +
        " 7 42\ntop A 43 488 1 2\ntemp karuneoX\n"
        "level karuneoX 488 1 2\nlevel karuneoX/B 493 3 4\nbatch karuneoX/B\ne 45 f f1\nm f1\n";
    const auto run = ParseJournal(text);
    ASSERT_TRUE(run.ok()) << run.error().system_code;
    EXPECT_EQ(run.value().version, 1);
    EXPECT_TRUE(run.value().planned);
    ASSERT_EQ(run.value().chain.size(), 2u);
    EXPECT_EQ(run.value().top(), "A");
    EXPECT_EQ(run.value().chain[1].name, "B");
    EXPECT_EQ(run.value().chain[1].look.mode, 493u);
    EXPECT_EQ(run.value().temp(), "karuneoX");
}

}  // namespace
}  // namespace karuneo::journal
