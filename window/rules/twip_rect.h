#pragma once

namespace karuneo {

// A rectangle in twips: screen coordinates for a window's outer edge.
struct TwipRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    bool operator==(const TwipRect&) const = default;
};

}  // namespace karuneo
