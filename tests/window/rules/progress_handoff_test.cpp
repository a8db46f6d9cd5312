// What the drop area says while the worker is busy, and the message a
// second start hands its folders over in.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "results/rules/work_progress.h"
#include "window/rules/handoff_message.h"
#include "window/rules/progress_text.h"

namespace karuneo {
namespace {

WorkProgress InHand(WorkPhase phase, std::string folder, long long done, long long total,
                    std::size_t waiting = 0) {
    WorkProgress progress;
    progress.phase = phase;
    progress.folder = std::move(folder);
    progress.done = done;
    progress.total = total;
    progress.waiting = waiting;
    progress.can_stop = true;
    return progress;
}

TEST(ProgressText, NamesTheFolderCountsItsEntriesAndTheFoldersWaiting) {
    WorkProgress progress =
        InHand(WorkPhase::kMoving, "/home/me/Downloads/アーカイブ", 1234, 200000, 3);
    const auto lines = DescribeProgress(progress);
    EXPECT_EQ(lines.folder, "処理中: アーカイブ");
    EXPECT_EQ(lines.entries, "1,234 / 200,000 件を移動");
    EXPECT_EQ(lines.waiting, "あと 3 フォルダ");
    EXPECT_EQ(lines.percent, 0);
    EXPECT_TRUE(lines.counted);

    progress.done = 200000;
    progress.waiting = 0;
    EXPECT_EQ(DescribeProgress(progress).percent, 100);
    EXPECT_EQ(DescribeProgress(progress).waiting, "");
}

// Every phase says what it does, with a count, and offers 中止 only where a
// stop would be heard.
TEST(ProgressText, EachPhaseSaysWhatItDoes) {
    struct Case {
        WorkPhase phase;
        bool stopping;
        bool can_stop;
        const char* folder;
        const char* entries;
    };
    const Case cases[] = {
        {WorkPhase::kMoving, true, true, "中止しています: D", "5 / 10 件を移動"},
        {WorkPhase::kPuttingBack, true, true, "元に戻しています: D", "5 / 10 件"},
        {WorkPhase::kPuttingBack, true, false, "中止しています: D", "5 / 10 件"},
        {WorkPhase::kUndoing, false, true, "元に戻しています: D", "5 / 10 件"},
        {WorkPhase::kUndoing, true, false, "中止しています: D", "5 / 10 件"},
        {WorkPhase::kFinishing, false, true, "中断していた処理を完了しています: D", "5 / 10 件"},
    };
    for (const Case& c : cases) {
        WorkProgress progress = InHand(c.phase, "/x/D", 5, 10);
        progress.stopping = c.stopping;
        progress.can_stop = c.can_stop;
        const auto lines = DescribeProgress(progress);
        EXPECT_EQ(lines.folder, c.folder);
        EXPECT_EQ(lines.entries, c.entries);
        EXPECT_EQ(lines.can_stop, c.can_stop) << c.folder;
    }
    EXPECT_EQ(DescribeProgress(InHand(WorkPhase::kLookingBack, "", 0, 0)).folder,
              "前回の記録を確認しています");
}

TEST(ProgressText, SaysNothingToCountBeforeTheMoveAndNothingWhenIdle) {
    EXPECT_EQ(DescribeProgress(InHand(WorkPhase::kMoving, "/x/D", 0, 0)).entries, "");
    EXPECT_FALSE(DescribeProgress(InHand(WorkPhase::kMoving, "/x/D", 0, 0)).counted);
    EXPECT_EQ(DescribeProgress({}).folder, "");
    // A name that is not UTF-8 is shown, never passed on raw to a widget.
    EXPECT_EQ(DescribeProgress(InHand(WorkPhase::kMoving, "/x/\xff", 0, 0)).folder,
              "処理中: \xEF\xBF\xBD");
}

// An archive tells no count ahead: its entries and bytes so far, with no
// bar, until the un-nesting of its folder counts its moves.
TEST(ProgressText, AnExtractionCountsWhatIsOutSoFarThenItsMoves) {
    WorkProgress progress = InHand(WorkPhase::kExtracting, "/x/資料.zip", 1234, 0);
    progress.bytes = 5 * 1024 * 1024 + 512 * 1024;
    auto lines = DescribeProgress(progress);
    EXPECT_EQ(lines.folder, "展開中: 資料.zip");
    EXPECT_EQ(lines.entries, "1,234 件 (5.5 MB) を展開");
    EXPECT_FALSE(lines.counted);
    progress.total = 10;
    progress.done = 4;
    EXPECT_EQ(DescribeProgress(progress).entries, "4 / 10 件を移動");
    progress.stopping = true;
    EXPECT_EQ(DescribeProgress(progress).folder, "中止しています: 資料.zip");
}

TEST(ProgressText, ShortBytesNeverShowMoreThanIsThere) {
    EXPECT_EQ(ShortBytes(0), "0 B");
    EXPECT_EQ(ShortBytes(1023), "1023 B");
    EXPECT_EQ(ShortBytes(1024), "1.0 KB");
    EXPECT_EQ(ShortBytes(10 * 1024 - 1), "9.9 KB");
    EXPECT_EQ(ShortBytes(1024 * 1024 - 1), "1,023 KB");
    EXPECT_EQ(ShortBytes(1024ULL * 1024 * 1024 * 3 / 2), "1.5 GB");
    EXPECT_EQ(ShortBytes(1024ULL * 1024 * 1024 * 1024 * 2048), "2,048 TB");
}

TEST(ProgressText, GroupsDigitsByThousands) {
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1000), "1,000");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
}

TEST(HandoffMessage, CarriesAnyBytesExactly) {
    const std::vector<std::string> paths = {"/home/me/日本語 フォルダ", std::string("/x/\xff\xfe"),
                                            std::string("/a\0b", 4), "", std::string(300, 'n')};
    EXPECT_EQ(DecodeHandoff(EncodeHandoff(paths)), paths);
    EXPECT_EQ(DecodeHandoff(EncodeHandoff({})), std::vector<std::string>{});
}

TEST(HandoffMessage, RefusesWhatIsCutShortOrNotOurs) {
    const std::string whole = EncodeHandoff({"/home/me/D", "/home/me/E"});
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        EXPECT_FALSE(DecodeHandoff(whole.substr(0, cut))) << cut;
    }
    EXPECT_FALSE(DecodeHandoff(whole + "x"));
    EXPECT_FALSE(DecodeHandoff("/home/me/D"));
    EXPECT_FALSE(DecodeHandoff(""));
}

}  // namespace
}  // namespace karuneo
