#pragma once

#include <string_view>

#include "window/rules/twip_rect.h"

// What is the form's own and not its toolkit's, written once for both
// windows: the captions, the client area the window opens with, and each
// control's design-time place in twips (left, top, width, height).
namespace karuneo::form_design {

inline constexpr std::string_view kForm1Caption = "カルネオソフト";
inline constexpr std::string_view kFrame1Caption = "処理結果";
inline constexpr std::string_view kFrame2Caption = "↓ココへドラッグしてください↓";
inline constexpr std::string_view kLabel1Caption = "→";

// The list's menu, in order, with its access keys.
inline constexpr std::string_view kMnu編集Caption = "編集";
inline constexpr std::string_view kMnu元に戻すCaption = "元に戻す(&U)";
inline constexpr std::string_view kMnu詳細Caption = "詳細(&I)";
inline constexpr std::string_view kMnuコピーCaption = "コピー(&C)";
inline constexpr std::string_view kMnu削除Caption = "リスト全削除(&D)";
inline constexpr std::string_view kMnu履歴Caption = "履歴(&H)…";
inline constexpr std::string_view kMnu展開Caption = "アーカイブも展開する(&A)";
// The drop area's button while work goes on.
inline constexpr std::string_view kStopCaption = "中止";
// The title of the box 詳細 opens.
inline constexpr std::string_view kDetailsTitle = "詳細";

// The client area the window opens with before any settings exist.
inline constexpr float kDesignClientWidth = 11145;
inline constexpr float kDesignClientHeight = 5625;

inline constexpr TwipRect kFrame1Place{3240, 120, 7815, 5055};
inline constexpr TwipRect kFrame2Place{120, 120, 2535, 2055};
inline constexpr TwipRect kLabel1Place{2760, 840, 495, 735};
// Inside Frame1.
inline constexpr TwipRect kListView1Place{240, 360, 7335, 4455};

}  // namespace karuneo::form_design
