#include "results/rules/details_box.h"

#include <algorithm>

namespace karuneo {
namespace {

// One axis: the box's start, centred on the owner, within the area.
int Start(int size, int owner_start, int owner_size, int area_start, int area_size) {
    const int centred = owner_start + (owner_size - size) / 2;
    return std::clamp(centred, area_start, area_start + area_size - size);
}

}  // namespace

BoxRect PlaceDetailsBox(int wanted_width, int wanted_height, const BoxRect& owner,
                        const BoxRect& area) {
    const int width = std::clamp(wanted_width, 0, std::max(0, area.width));
    const int height = std::clamp(wanted_height, 0, std::max(0, area.height));
    return {Start(width, owner.left, owner.width, area.left, area.width),
            Start(height, owner.top, owner.height, area.top, area.height), width, height};
}

}  // namespace karuneo
