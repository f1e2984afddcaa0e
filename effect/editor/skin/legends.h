// Everything printed on the faceplate: section titles, control names, scale marks,
// switch position names, meter scales, drag grips, the display's bezel. All of it is
// placed from the layout table, relative to the controls it belongs to.
#pragma once

#include <cairo.h>

namespace ruvane::skin {

void drawLegends(cairo_t* cr);

}  // namespace ruvane::skin
