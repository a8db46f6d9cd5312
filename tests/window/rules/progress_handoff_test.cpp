// What the drop area says while the worker is busy, and the message a
// second start hands its folders over in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/rules/handoff_message.h"
#include "window/rules/progress_text.h"
#include "window/worker/work_queue.h"

namespace karuneo {
namespace {

TEST(ProgressText, NamesTheFolderCountsItsEntriesAndTheFoldersWaiting) {
    WorkProgress progress{true, "/home/me/Downloads/アーカイブ", 1234, 200000, 3};
    const auto lines = DescribeProgress(progress);
    EXPECT_EQ(lines.folder, "処理中: アーカイブ");
    EXPECT_EQ(lines.entries, "1,234 / 200,000 件を移動");
    EXPECT_EQ(lines.waiting, "あと 3 フォルダ");
    EXPECT_EQ(lines.percent, 0);

    progress.moved = 200000;
    progress.waiting = 0;
    EXPECT_EQ(DescribeProgress(progress).percent, 100);
    EXPECT_EQ(DescribeProgress(progress).waiting, "");
}

TEST(ProgressText, SaysNothingToCountBeforeTheMoveAndNothingWhenIdle) {
    EXPECT_EQ(DescribeProgress({true, "/x/D", 0, 0, 0}).entries, "");
    EXPECT_EQ(DescribeProgress({}).folder, "");
    // A name that is not UTF-8 is shown, never passed on raw to a widget.
    EXPECT_EQ(DescribeProgress({true, "/x/\xff", 0, 0, 0}).folder, "処理中: \xEF\xBF\xBD");
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
