// 詳細 and コピー: what a user reads in the box and pastes into a mail.
#include "results/rules/row_details.h"

#include <gtest/gtest.h>

namespace karuneo {
namespace {

TEST(RowDetails, ShowPathStatusAndReasonEachOnALine) {
    EXPECT_EQ(DetailsText({"D", "エラー", "/home/me/D", "「A」を移動できませんでした。"}),
              "フォルダ: /home/me/D\n処理結果: エラー\n理由: 「A」を移動できませんでした。");
    EXPECT_EQ(DetailsText({"D", "完了", "/home/me/D", ""}), "フォルダ: /home/me/D\n処理結果: 完了");
}

TEST(RowDetails, EachCopiedRowIsOneLineOfFourFieldsWhateverTheNameHolds) {
    const std::string copied = TabSeparatedRows(
        {{"D", "完了", "/x/D", ""}, {"a\tb\nc\\", "エラー", "/x/a\tb\nc\\", "why"}});
    EXPECT_EQ(copied,
              "D\t完了\t/x/D\t\n"
              "a\\tb\\nc\\\\\tエラー\t/x/a\\tb\\nc\\\\\twhy\n");
    EXPECT_EQ(TabSeparatedRows({}), "");
}

}  // namespace
}  // namespace karuneo
