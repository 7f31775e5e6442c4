#pragma once

#include <QIcon>

// The main window's toolbar pictures, drawn here rather than shipped as files.
namespace ToolGlyphs {
QIcon RecCopy();
QIcon Paper();
QIcon Print();
QIcon Picture();
} // namespace ToolGlyphs
