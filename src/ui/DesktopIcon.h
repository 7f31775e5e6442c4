#pragma once

#include "platform/IconFile.h"

#include <QString>

// The icon the desktop shows for a file.
namespace DesktopIcon {

// A Windows executable's own first icon, an icon file's image, else the icon of the file's
// type (an executable without icons has the icon of executables). A file that does not
// exist has no icon. Raises the reader's message for a damaged executable or icon file.
Icon Extract(const QString& path);

} // namespace DesktopIcon
