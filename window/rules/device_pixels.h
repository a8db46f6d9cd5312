#pragma once

namespace karuneo {

// At a fractional scale (1.25, 1.5, 1.75) an edge in device-independent
// pixels may fall half-way through a device pixel. A list draws its border
// around an inner area (the viewport) that is rounded out to whole device
// pixels and painted over the border: where the inner area's far edge is not
// whole, the right or bottom line of the border is lost. This gives the
// length, at most `length`, whose inner area (`length` less `border` on each
// side) ends on a whole device pixel. Whole scales change nothing.
int LengthWithWholeInnerEdge(int length, int border, double device_pixel_ratio);

}  // namespace karuneo
