#pragma once

#include <QIcon>
#include <functional>

class QPainter;
class QRect;

// The main window's toolbar pictures, drawn here rather than shipped as files.
namespace ToolGlyphs {
// A 16 × 16 picture drawn with a black pen on a transparent ground; the windows' own glyphs
// are made with it too.
QIcon Draw(const std::function<void(QPainter&)>& paint);
// A white sheet with a black edge.
void Sheet(QPainter& p, const QRect& r);

QIcon RecCopy();
QIcon Paper();
QIcon Print();
QIcon Picture();
} // namespace ToolGlyphs
