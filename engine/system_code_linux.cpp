#include <locale.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/error_number.h"
#include "engine/reason/cause.h"
#include "engine/system_code.h"

namespace karuneo {
namespace {

struct CodeRow {
    int code;
    SystemCodeMeaning meaning;
};

// A link met with O_NOFOLLOW gives ELOOP, which is why it stands for one.
// A code missing here is an access failure the system's message explains.
constexpr CodeRow kErrnoTable[] = {
    {0, {kNoError, Cause::kSystem}},
    {ENOENT, {kPathNotFound, Cause::kSystem}},
    {ENOTDIR, {kPathNotFound, Cause::kSystem}},
    {EEXIST, {kFileAlreadyExists, Cause::kSystem}},
    {ENOTEMPTY, {kFolderNotEmpty, Cause::kSystem}},
    {EACCES, {kPermissionDenied, Cause::kNoPermission}},
    {EPERM, {kPermissionDenied, Cause::kNoPermission}},
    {EROFS, {kPermissionDenied, Cause::kSystem}},
    {EBUSY, {kPermissionDenied, Cause::kSystem}},
    {EXDEV, {kDifferentDrive, Cause::kSystem}},
    {ENOSPC, {kDiskFull, Cause::kSystem}},
    {EDQUOT, {kDiskFull, Cause::kSystem}},
    {EIO, {kDeviceIoError, Cause::kSystem}},
    {ENAMETOOLONG, {kBadFileName, Cause::kNameTooLong}},
    {EINVAL, {kBadFileName, Cause::kSystem}},
    {ENOMEM, {kOutOfMemory, Cause::kSystem}},
    {ELOOP, {kPathFileAccessError, Cause::kLink}},
};

// glibc's own translations, when the system has a Japanese locale and its
// messages: they cover every code.
locale_t JapaneseLocale() {
    static const locale_t locale = [] {
        for (const char* name : {"ja_JP.UTF-8", "ja_JP.utf8"}) {
            if (const locale_t found = ::newlocale(LC_ALL_MASK, name, nullptr)) {
                return found;
            }
        }
        return locale_t{};
    }();
    return locale;
}

// Ours, for a system without Japanese messages (most installations have no
// ja_JP locale): the codes that moving and removing entries meet.
std::string_view OwnJapaneseMessage(int code) {
    switch (code) {
        case EROFS:
            return "読み取り専用のファイルシステムです";
        case EBUSY:
            return "使用中です";
        case ETXTBSY:
            return "実行中のプログラムが使用しています";
        case ENOSPC:
            return "ディスクに空きがありません";
        case EDQUOT:
            return "ディスクの使用量の上限を超えています";
        case EIO:
            return "ディスクの読み書きに失敗しました";
        case ENOTEMPTY:
            return "フォルダが空ではありません";
        case EEXIST:
            return "同じ名前が既にあります";
        case EMLINK:
            return "リンクの数が上限に達しています";
        case ENOTDIR:
            return "フォルダではありません";
        case EISDIR:
            return "フォルダです";
        case ENOENT:
            return "見つかりません";
        case EINVAL:
            return "この操作はできません";
        case EMFILE:
        case ENFILE:
            return "開いているファイルが多すぎます";
        case ENOMEM:
            return "メモリが足りません";
        case ESTALE:
            return "ネットワーク上のファイルが変わったか、なくなりました";
        case ETIMEDOUT:
            return "時間切れになりました";
        case EINTR:
            return "割り込みで中断されました";
        case EAGAIN:
            return "一時的に使えません。あとでやり直してください";
        case EOPNOTSUPP:
            return "このファイルシステムではできない操作です";
        case ENOSYS:
            return "このシステムではできない操作です";
        case EFBIG:
            return "ファイルが大きすぎます";
        case EOVERFLOW:
            return "値が大きすぎます";
        case ENODEV:
        case ENXIO:
            return "装置がありません";
        case ENOTCONN:
        case EHOSTDOWN:
        case ECONNABORTED:
            return "接続が切れています";
        case EUCLEAN:
            return "ファイルシステムの修復が必要です";
        default:
            return {};
    }
}

std::string JapaneseMessage(int code) {
    const char* english = ::strerrordesc_np(code);
    if (const locale_t japanese = JapaneseLocale(); japanese != locale_t{}) {
        const char* translated = ::strerror_l(code, japanese);
        // Without a translation strerror_l gives the English text back.
        if (english == nullptr || std::strcmp(translated, english) != 0) {
            return translated;
        }
    }
    return std::string(OwnJapaneseMessage(code));
}

}  // namespace

SystemCodeMeaning MeaningOfSystemCode(int code) {
    for (const auto& row : kErrnoTable) {
        if (row.code == code) {
            return row.meaning;
        }
    }
    return {};
}

std::string SystemMessage(int code, MessageLanguage language) {
    if (code == 0) {
        return {};
    }
    if (language == MessageLanguage::kJapanese) {
        return JapaneseMessage(code);
    }
    // The untranslated text, whatever the user's locale.
    const char* english = ::strerrordesc_np(code);
    return english == nullptr ? std::string() : std::string(english);
}

}  // namespace karuneo
