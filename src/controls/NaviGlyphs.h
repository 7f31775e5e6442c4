#pragma once

#include <QImage>

// The navigator's own glyph pictures: two frames side by side (normal, disabled); the colour of
// the bottom-left pixel is the transparent one.
namespace NaviGlyphs {

// Button index 0..9 (first … refresh): 13 pixels high, 14-pixel frames (10 for prior and next).
QImage Own(int button);
// The five 16 × 16 glyphs the program's bars share for insert, delete, edit, post and cancel
// (button index 4..8); other indexes give an empty image.
QImage Shared(int button);
// The frames a glyph is split into: width ÷ height when a whole multiple (one frame above 4),
// two otherwise.
int FrameCount(const QImage& glyph);
// One frame with the transparent colour made transparent.
QImage Frame(const QImage& glyph, int frame);

} // namespace NaviGlyphs
