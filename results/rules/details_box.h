#pragma once

namespace karuneo {

// A rectangle in pixels of one screen's coordinates.
struct BoxRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const BoxRect&, const BoxRect&) = default;
};

// Where the 詳細 box goes: as large as its text asks, but never larger than
// `area` (the usable area of the screen its owner is on), so that its OK
// stays on screen and a long text scrolls inside it instead; centred on its
// owner, and moved inside the area where that would cross its edge.
BoxRect PlaceDetailsBox(int wanted_width, int wanted_height, const BoxRect& owner,
                        const BoxRect& area);

}  // namespace karuneo
