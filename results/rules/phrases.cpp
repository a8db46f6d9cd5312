#include "results/rules/phrases.h"

namespace karuneo {

const Phrases kJapanese{
    .open_quote = "「",
    .close_quote = "」",
    .system_messages = MessageLanguage::kJapanese,
    .after_attempt = "。",
    .after_cause = "。",
    .attempts = {"{}を開けませんでした", "{}の中を読めませんでした",
                 "{}の名前を変えられませんでした", "{}を移動できませんでした",
                 "{}を削除できませんでした"},
    .clash_in_dropped_folder = "同じ名前の{}がドロップしたフォルダに既にあります",
    .clash_new_name = "新しい名前が既に使われています",
    .clash_not_empty = "フォルダが空ではありません",
    .clash_other = "同じ名前が既にあります",
    .no_permission = "権限がありません",
    .other_drive = "別のファイルシステムか、名前の変更では越えられない境界の向こうにあります",
    .another_run = "別のカルネオがこのフォルダで作業中です",
    .still_in_use = "別のプログラムが使用中で、1 秒待っても使えるようになりませんでした",
    .no_safe_move =
        "このファイルシステムには、同じ名前の項目を上書きする危険なしに移動する方法が"
        "ありません(上書きしない名前の変更もハードリンクもできません)。"
        "このファイルシステムでは何も移動しません",
    .link = "リンクです。リンクはたどりません",
    .too_deep = "フォルダの階層が {} を超えています",
    .name_too_long = "名前が長すぎます",
    .bad_name = "Windows では使えない名前です",
    .bad_name_holding = "名前{}には Windows の名前に使えない文字{}が含まれています",
    .stopped = "{}の手前で作業を中止しました",
    .out_of_memory = "メモリが足りません",
    .io_error = "ディスクの読み書きに失敗しました",
    .disk_full = "ディスクがいっぱいです",
    .not_found = "見つかりません",
    .unexpected = "予期しないエラーです",
    .error_number = "エラー番号 {}",
    .chain = {"何も変更していません。",
              "上書きも消失もありません。移動していないものは{}にあります。",
              "上書きも消失もありません。移動していないものは一時的な名前の{}にあります。",
              "上書きも消失もありません。すべて移動しました。",
              "上書きも消失もありません。すべて元どおりに戻しました。"},
    .not_nested = {"フォルダは空です。何も変更していません。",
                   "項目が {} 個あり、フォルダ 1 つだけではありません。何も変更していません。",
                   "ファイルが 1 つあるだけです。何も変更していません。",
                   "リンクが 1 つあるだけです。リンクはたどりません。何も変更していません。",
                   "マウントポイントが 1 つあるだけです。マウントポイントには入りません。"
                   "何も変更していません。"},
    .not_nested_named =
        {"フォルダは空です。何も変更していません。",
         "項目が {} 個({})あり、フォルダ 1 つだけではありません。"
         "何も変更していません。",
         "ファイル{}が 1 つあるだけです。何も変更していません。",
         "リンク{}が 1 つあるだけです。リンクはたどりません。何も変更していません。",
         "マウントポイント{}が 1 つあるだけです。マウントポイントには入りません。"
         "何も変更していません。"},
    .list_comma = "、",
    .list_and = "と",
    .kept = "{}は隠し項目を含むため残しました。隠し項目はそのままです。",
    .kept_temporary =
        "{}は隠し項目を含むため残しました。元の名前{}に戻せなかったため、"
        "一時的な名前のままです。隠し項目はそのままです。",
    .journal =
        {
            .not_journaled = "記録を書き込めなかったため({})、この処理は元に戻すことも、"
                             "中断したときに完了させることもできません。",
            .finished = "中断していた処理を完了しました。",
            .not_finished = "中断していた処理を完了できませんでした: {}。何も変更していません。"
                            "記録は残してあるので、後でもう一度試せます。",
            .finish_failed = "中断していた処理を完了できませんでした。",
            .undone = "前回の処理を元に戻しました。",
            .stayed = "処理の後に加わった {} 個の項目はそのままです: {}。",
            .not_undone = "前回の処理を元に戻せませんでした: {}。何も変更していません。",
            .undo_stopped = "元に戻す途中で失敗しました: {}。戻したものは戻したままで、"
                            "上書きも消失もありません。",
            .others = "(ほかに {} 件)",
            .between = "",
            .undo_finished = "中断していた元に戻す処理を完了しました。",
            .left_stopped = "前回、作業の途中で止めたままです({} / {} 件を移動済み)。"
                            "元に戻すで元の形に戻せます。",
            .not_restored = "チェーンのフォルダの次の属性は戻せませんでした: {}。",
            .more_names = "ほか {} 個",
            .obstacles = {"", "このフォルダを処理した記録がありません",
                          "前回の処理が中断されたままです。先に完了させてください",
                          "フォルダが処理したときのものではありません", "{}がありません",
                          "{}が別の項目に置き換わっています",
                          "{}の種類(ファイル、フォルダ、リンク)が変わっています",
                          "名前{}が既に使われています", "{}が元の場所と移動先の両方にあります",
                          "フォルダ{}が無くなったか、別のフォルダになっています",
                          "記録の {} 行目が壊れています", "別のプロセスが処理中です",
                          "記録を書き込めません", "前回の処理は何も変更していません",
                          "前回の処理は既に元に戻してあります",
                          "フォルダ{}がありません(karuneo-cli --forget で記録を片付けられます)",
                          "記録を読めません({})"},
        },
};

const Phrases kEnglish{
    .open_quote = "\"",
    .close_quote = "\"",
    .system_messages = MessageLanguage::kEnglish,
    .after_attempt = ": ",
    .after_cause = ". ",
    .attempts = {"could not open {}", "could not list {}", "could not rename {}",
                 "could not move {}", "could not remove {}"},
    .clash_in_dropped_folder = "{} already exists in the dropped folder",
    .clash_new_name = "the new name is taken",
    .clash_not_empty = "the folder is not empty",
    .clash_other = "the name is taken",
    .no_permission = "no permission",
    .other_drive =
        "it is on another file system or behind a boundary the system will not rename "
        "across",
    .another_run = "another run is working in this folder",
    .still_in_use = "it was still in use by another program after 1 s",
    .no_safe_move =
        "this file system can move nothing without the risk of replacing an entry of "
        "the same name (it has no rename that refuses to replace, and no hard links), "
        "so nothing is moved on it",
    .link = "it is a link, and links are never followed",
    .too_deep = "the chain is more than {} folders deep",
    .name_too_long = "the name is too long",
    .bad_name = "Windows cannot hold this name",
    .bad_name_holding = "Windows cannot hold the name {}, as it holds {}",
    .stopped = "the work was stopped before {}",
    .out_of_memory = "out of memory",
    .io_error = "the disk failed to read or write",
    .disk_full = "the disk is full",
    .not_found = "it is not there",
    .unexpected = "an unexpected error",
    .error_number = "error {}",
    .chain = {"Nothing was changed.",
              "Nothing was overwritten or lost; what was not moved is in {}.",
              "Nothing was overwritten or lost; what was not moved is in {}, a temporary name.",
              "Nothing was overwritten or lost; everything was moved.",
              "Nothing was overwritten or lost; everything was put back as it was."},
    .not_nested = {"the folder is empty; nothing was changed",
                   "it holds {} entries, not a single folder; nothing was changed",
                   "it holds a single file; nothing was changed",
                   "it holds a single link, and links are never followed; nothing was changed",
                   "it holds only a mount point, which is never entered; nothing was changed"},
    .not_nested_named = {"the folder is empty; nothing was changed",
                         "it holds {} entries, {}; nothing was changed",
                         "it holds a single file, {}; nothing was changed",
                         "it holds a single link, {}, and links are never followed; nothing was "
                         "changed",
                         "it holds only a mount point, {}, which is never entered; nothing was "
                         "changed"},
    .list_comma = ", ",
    .list_and = " and ",
    .kept = "the folder {} stayed: it holds hidden entries, which were kept",
    .kept_temporary =
        "the folder {} stayed: it holds hidden entries, which were kept; it keeps "
        "a temporary name, as its own name {} could not be given back",
    .journal =
        {
            .not_journaled =
                "it cannot be undone, nor finished if cut off: its journal could not be "
                "written ({})",
            .finished = "a run that was cut off was finished",
            .not_finished = "a run that was cut off was not finished: {}. Nothing was changed; its "
                            "journal waits for another try",
            .finish_failed = "a run that was cut off could not be finished",
            .undone = "the last run was undone",
            .stayed = "{} entries that came after it stayed: {}",
            .not_undone = "the last run was not undone: {}. Nothing was changed",
            .undo_stopped = "the undo stopped part-way: {}. What went back stays back; nothing was "
                            "overwritten or lost",
            .others = " (and {} more)",
            .between = "; ",
            .undo_finished = "an undo that was cut off was finished",
            .left_stopped = "an earlier session stopped the run part-way and left it so ({} of "
                            "{} entries moved); undo puts it back",
            .not_restored = "could not give back to the chain folders: {}",
            .more_names = "{} more",
            .obstacles =
                {"", "there is no run on this folder to undo",
                 "its last run was cut off and waits to be finished (karuneo-cli --recover)",
                 "the folder is not the one the run changed", "{} is gone",
                 "{} is another entry now", "{} is of another kind now (file, folder or link)",
                 "the name {} is taken", "{} is both where it was and where the run put it",
                 "the chain folder {} is gone or is another folder",
                 "line {} of its journal is damaged", "another process is working on it",
                 "its journal cannot be written", "its last run changed nothing",
                 "its last run was undone already",
                 "the folder {} is gone (karuneo-cli --forget retires its journal)",
                 "its journal cannot be read ({})"},
        },
};

}  // namespace karuneo
