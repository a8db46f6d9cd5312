// The reasons of an archive's row: what was extracted where, or why nothing
// was, in each language.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/reason/row_reason.h"
#include "engine/system_code.h"
#include "results/rules/reason_parts.h"

namespace karuneo::reason_parts {
namespace {

struct ExtractPhrases {
    std::string_view extracted;     // {} the new folder
    std::string_view not_unnested;  // between that and the walk's reason
    std::string_view nothing_left;  // after a refusal
    std::string_view left_behind;   // {} why it was refused
    // Indexed by ExtractProblem; {} the entry, {} the detail.
    std::array<std::string_view, 32> problems;
};
// A problem added without its words would take another's.
static_assert(std::tuple_size_v<decltype(ExtractPhrases::problems)> ==
              static_cast<std::size_t>(ExtractProblem::kNothingToUndo) + 1);

constexpr ExtractPhrases kEnglishExtract{
    .extracted = "extracted into {}",
    .not_unnested = "; ",
    .nothing_left = "; nothing was extracted, and nothing was left behind",
    .left_behind =
        "{}; what the extraction made could not all be removed: it stays under a temporary "
        "name beside the archive",
    .problems = {
        "",
        "it is not an archive (by its name); nothing was changed",
        "this build cannot extract archives; nothing was changed",
        "the archive cannot be read: {1}",
        "the entry {0} is named from the top of a disk",
        "the entry {0} climbs out with \"..\"",
        "the entry {0} is named with a drive letter",
        "the entry {0} bears the name of a Windows device",
        "the entry {0} has an empty or \".\" part in its name",
        "the entry {0} has a backslash in its name",
        "the entry {0} has a name too long for a file system",
        "the link {0} points outside the new folder (to {1})",
        "the hard link {0} names {1}, which is outside or not extracted before it",
        "the entry {0} is a device, a FIFO or a socket, which are never made",
        "the entry {0} is a symbolic link, which are not made on Windows",
        "two entries are named {0}; nothing is ever overwritten",
        "the entry {0} is encrypted, which is not supported",
        "it would expand beyond {1} bytes",
        "it would expand to more than {1} times its own size",
        "it would not fit in the free space ({1} bytes)",
        "could not write {0}",
        "no free name beside the archive for its folder",
        "its folder could not be un-nested",
        "the work was stopped",
        "",
        "an extraction into {1} was cut off; what it had made was removed",
        "an extraction into {1} was cut off once whole, and was given its name",
        "an extraction into {1} was cut off; what it had made could not all be "
        "removed, and stays",
        "the extraction was undone: its folder was removed",
        "the undo was refused: {0} changed, is gone or is new since the extraction; nothing "
        "was removed",
        "it is an archive, and archives are not extracted; turn on 編集 > アーカイブも展開する "
        "to extract it; nothing was changed",
        "no extraction of this archive is left to undo; nothing was changed"}};

constexpr ExtractPhrases kJapaneseExtract{
    .extracted = "{}に展開しました",
    .not_unnested = "。",
    .nothing_left = "。何も展開せず、何も残していません。",
    .left_behind =
        "{}。展開したものをすべては削除できず、アーカイブの横に一時的な名前で残っています。",
    .problems = {
        "",
        "アーカイブではありません(名前による判断)。何も変更していません",
        "このビルドはアーカイブを展開できません。何も変更していません",
        "アーカイブを読めません: {1}",
        "項目{0}はディスクの最上位からの名前です",
        "項目{0}は「..」で外に出る名前です",
        "項目{0}はドライブ文字付きの名前です",
        "項目{0}は Windows のデバイス名です",
        "項目{0}の名前に空または「.」の部分があります",
        "項目{0}の名前にバックスラッシュがあります",
        "項目{0}の名前が長すぎます",
        "リンク{0}は新しいフォルダの外({1})を指しています",
        "ハードリンク{0}の先{1}は外にあるか、先に展開されていません",
        "項目{0}はデバイス、FIFO またはソケットで、作りません",
        "項目{0}はシンボリックリンクで、Windows では作りません",
        "同じ名前{0}の項目が 2 つあります。上書きはしません",
        "項目{0}は暗号化されています。対応していません",
        "展開すると {1} バイトを超えます",
        "展開するとアーカイブの {1} 倍を超えます",
        "空き容量({1} バイト)に収まりません",
        "{0}を書き込めませんでした",
        "アーカイブの横にフォルダの空き名がありません",
        "フォルダの入れ子を解消できませんでした",
        "作業を中止しました",
        "",
        "{1}への展開が途中で中断されていました。作ったものは削除しました",
        "{1}への展開は完了後に中断されていました。名前を付けました",
        "{1}への展開が途中で中断されていました。作ったものをすべては削除できず、残っています",
        "展開を元に戻しました。フォルダを削除しました",
        "{0}"
        "は展開後に変更、削除、または追加されたため、元に戻しませんでした。何も削除していません",
        "アーカイブです。展開するには、編集 > アーカイブも展開する をオンにしてから、もう一度ドロッ"
        "プしてください。何も変更していません",
        "このアーカイブに元に戻せる展開はありません。何も変更していません"}};

// A refusal of an extraction under way, which removes what it made.
bool IsRefusal(ExtractProblem problem) {
    return problem >= ExtractProblem::kUnreadable && problem <= ExtractProblem::kWorkStopped;
}

std::string Put(std::string_view pattern, const std::string& entry, const std::string& detail) {
    std::string put;
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.substr(at, 3) == "{0}" || pattern.substr(at, 3) == "{1}") {
            put += pattern[at + 1] == '0' ? entry : detail;
            at += 2;
        } else {
            put += pattern[at];
        }
    }
    return put;
}

std::string ProblemText(const Wording& words, const ExtractPhrases& phrases,
                        const ExtractReason& reason) {
    std::string detail = reason.detail;
    if (detail.empty() && reason.system_code != 0) {
        detail = SystemMessage(reason.system_code, words.system_messages);
    }
    const auto index = static_cast<std::size_t>(reason.problem);
    std::string text = Put(phrases.problems.at(index), Quoted(words, reason.entry), detail);
    if (reason.problem == ExtractProblem::kWrite && !detail.empty()) {
        text += words.after_attempt;
        text += detail;
    }
    return text;
}

}  // namespace

std::string ExtractText(const Wording& words, const ExtractReason& reason,
                        std::string_view folder_name) {
    const bool english = words.system_messages == MessageLanguage::kEnglish;
    const ExtractPhrases& phrases = english ? kEnglishExtract : kJapaneseExtract;
    const std::string walk =
        reason.walk ? ReasonText(words, reason.walk->reason, folder_name) : std::string();
    if (reason.problem == ExtractProblem::kNone) {
        std::string text = Fill(phrases.extracted, {Quoted(words, reason.folder)});
        return walk.empty() ? text : text + std::string(phrases.not_unnested) + walk;
    }
    if (reason.problem == ExtractProblem::kLeftBehind) {
        return Fill(phrases.left_behind, {walk});
    }
    std::string text = ProblemText(words, phrases, reason);
    if (reason.problem == ExtractProblem::kUnnestFailed && !walk.empty()) {
        text += std::string(english ? ": " : ": ") + walk;
    }
    if (IsRefusal(reason.problem)) {
        text += phrases.nothing_left;
    }
    return text;
}

}  // namespace karuneo::reason_parts
