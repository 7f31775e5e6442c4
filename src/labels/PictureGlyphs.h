#pragma once

#include <QIcon>

// The picture menu's item pictures, drawn here rather than shipped as files.
namespace PictureGlyphs {
QIcon FromFile();
QIcon FromExecutable();
QIcon Cut();
QIcon Copy();
QIcon Paste();
// With a marked look for when the item is checked.
QIcon Show();
QIcon Stretch();
QIcon OpenElsewhere();
} // namespace PictureGlyphs
