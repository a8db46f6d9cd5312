// 詳細 and コピー: what a user reads in the box and pastes into a mail.
#include "results/rules/row_details.h"

#include <gtest/gtest.h>

namespace karuneo {
namespace {

TEST(RowDetails, ShowPathStatusAndReasonEachOnALine) {
    EXPECT_EQ(DetailsText({"D", "エラー", "/home/me/D", "「A」を移動できませんでした。"}),
              "フォルダ: /home/me/D\n処理結果: エラー\n理由: 「A」を移動できませんでした。");
    EXPECT_EQ(DetailsText({"D", "完了", "/home/me/D", ""}), "フォルダ: /home/me/D\n処理結果: 完了");
    EXPECT_EQ(DetailsText({"a.zip", "完了", "/home/me/a.zip", "", RowKind::kArchive}),
              "アーカイブ: /home/me/a.zip\n処理結果: 完了");
}

TEST(RowDetails, EachCopiedRowIsOneLineOfFourFieldsAndAPathStaysAPath) {
    const std::string copied =
        TabSeparatedRows({{"D", "完了", "C:\\users\\me\\D", ""},
                          {"a\tb", "エラー", "/x/a\tb", "first line\nsecond\r\nthird"},
                          {"\u202etxt.exe", "完了", "/x/\u202etxt.exe", ""}});
    EXPECT_EQ(copied,
              "D\t完了\tC:\\users\\me\\D\t\n"
              "a\\tb\tエラー\t/x/a\\tb\tfirst line\\nsecond\\r\\nthird\n"
              "\\u202etxt.exe\t完了\t/x/\\u202etxt.exe\t\n");
    EXPECT_EQ(TabSeparatedRows({}), "");
}

}  // namespace
}  // namespace karuneo
