#pragma once

#include <QPixmap>

constexpr int kIconSize = 20;

// The picker's icon of a format group, the picture its row of the format
// table names, drawn at 20 x 20 pixels.
QPixmap GroupIcon(int group);
// The expand glyph of a group row: a plus while collapsed, a minus while expanded.
QPixmap ExpandGlyph(bool expanded);
