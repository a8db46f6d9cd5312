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

JournalRun SampleRun() {
    JournalRun run;
    run.root = "/home/me/D";
    run.root_identity = {7, 42, EntryKind::kFolder};
    run.hidden = {".git"};
    run.top = "A";
    run.top_id = 43;
    run.top_look = {0750, 1, 2};
    run.temp = "karuneo0a1b2c3d";
    return run;
}

TEST(JournalRecordTest, ReadsBackWhatWasWrittenAndATornLastLineAsNeverWritten) {
    std::string text =
        HeaderLines(SampleRun()) + LevelLine({{"karuneo0a1b2c3d", "B"}, {0755, 3, 4}}) +
        BatchLine({"karuneo0a1b2c3d", "B"}) + EntryLine({"f 1", 44, EntryKind::kFile}) +
        EntryLine({"G", 45, EntryKind::kFolder}) + MovedLine("f 1") + "m G";
    const auto run = ParseJournal(text);
    ASSERT_TRUE(run.ok());
    EXPECT_EQ(run.value.root, "/home/me/D");
    EXPECT_EQ(run.value.root_identity.id, 42u);
    EXPECT_EQ(run.value.top_look, (FolderLook{0750, 1, 2}));
    EXPECT_EQ(run.value.levels.at(0).look.modify_ns, 4);
    EXPECT_EQ(run.value.entries.size(), 2u);
    EXPECT_EQ(run.value.moved, std::vector<std::string>{"f 1"});
    EXPECT_FALSE(run.value.closed);

    text += std::string("\n") + std::string(kCloseLine);
    EXPECT_TRUE(ParseJournal(text).value.closed);
}

TEST(JournalRecordTest, AWholeLineThatMakesNoSenseIsDamageWithItsNumber) {
    const std::string text = HeaderLines(SampleRun()) + "e 12 f\n" + std::string(kCloseLine);
    const auto run = ParseJournal(text);
    EXPECT_FALSE(run.ok());
    EXPECT_EQ(run.error.system_code, 6);
    EXPECT_FALSE(ParseJournal("karuneo-journal 2\n").ok());
}

}  // namespace
}  // namespace karuneo::journal
