#pragma once

#include <QRect>

// The rectangle inside box that shows picture with its proportions kept: the
// full width or the full height of box, centred in the other direction. The
// margin is rounded to the nearest pixel, ties to even. A picture or box
// without area gives box itself.
QRect FitRect(const QRect& picture, const QRect& box);
