#include "results/rules/journal_phrases.h"

namespace karuneo {

const JournalPhrases kJournalJapanese{
    .not_journaled =
        "記録を書き込めなかったため({})、この処理は元に戻すことも、"
        "中断したときに完了させることもできません。",
    .finished = "中断していた処理を完了しました。",
    .not_finished =
        "中断していた処理を完了できませんでした: {}。何も変更していません。"
        "記録は残してあるので、後でもう一度試せます。",
    .finish_failed = "中断していた処理を完了できませんでした。",
    .undone = "前回の処理を元に戻しました。",
    .stayed = "処理の後に加わった {} 個の項目はそのままです: {}。",
    .not_undone = "前回の処理を元に戻せませんでした: {}。何も変更していません。",
    .undo_stopped =
        "元に戻す途中で失敗しました: {}。戻したものは戻したままで、"
        "上書きも消失もありません。",
    .others = "(ほかに {} 件)",
    .between = "",
    .obstacles = {"", "このフォルダを処理した記録がありません",
                  "前回の処理が中断されたままです。先に完了させてください",
                  "フォルダが処理したときのものではありません", "{}がありません",
                  "{}が別の項目に置き換わっています",
                  "{}の種類(ファイル、フォルダ、リンク)が変わっています",
                  "名前{}が既に使われています", "{}が元の場所と移動先の両方にあります",
                  "フォルダ{}が無くなったか、別のフォルダになっています",
                  "記録の {} 行目が壊れています", "別のプロセスが処理中です",
                  "記録を書き込めません"},
};

const JournalPhrases kJournalEnglish{
    .not_journaled =
        "it cannot be undone, nor finished if cut off: its journal could not be "
        "written ({})",
    .finished = "a run that was cut off was finished",
    .not_finished =
        "a run that was cut off was not finished: {}. Nothing was changed; its "
        "journal waits for another try",
    .finish_failed = "a run that was cut off could not be finished",
    .undone = "the last run was undone",
    .stayed = "{} entries that came after it stayed: {}",
    .not_undone = "the last run was not undone: {}. Nothing was changed",
    .undo_stopped =
        "the undo stopped part-way: {}. What went back stays back; nothing was "
        "overwritten or lost",
    .others = " (and {} more)",
    .between = "; ",
    .obstacles = {"", "there is no run on this folder to undo",
                  "its last run was cut off and waits to be finished (karuneo-cli --recover)",
                  "the folder is not the one the run changed", "{} is gone",
                  "{} is another entry now", "{} is of another kind now (file, folder or link)",
                  "the name {} is taken", "{} is both where it was and where the run put it",
                  "the chain folder {} is gone or is another folder",
                  "line {} of its journal is damaged", "another process is working on it",
                  "its journal cannot be written"},
};

}  // namespace karuneo
