#pragma once

namespace karuneo {
class ResultsLayout;
struct TwipRect;

// The results frame keeps its left and top edge; its right and bottom edge
// keep these distances (twips) from the window's outer edge, and the list
// keeps its distance from the frame.
inline constexpr float kFrameWidthMargin = 3600;
inline constexpr float kListWidthMargin = 540;
inline constexpr float kFrameHeightMargin = 800;
inline constexpr float kListHeightMargin = 600;

// Below this outer size the drop area and the list no longer fit side by side.
inline constexpr float kMinWindowWidth = 6000;
inline constexpr float kMinWindowHeight = 2800;

// Fits the frame and list to the window once it has been placed at load
// time. Neither the minimum nor the columns apply yet.
void ApplyLoadLayout(const TwipRect& window, ResultsLayout& layout);

// The widths of frame, list and columns for a window of at least the minimum
// width.
void FitWidth(float window_width, ResultsLayout& layout);
// The heights of frame and list for a window of at least the minimum height.
void FitHeight(float window_height, ResultsLayout& layout);

}  // namespace karuneo
