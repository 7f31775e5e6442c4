#pragma once

#include "platform/IconFile.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The icon of a Windows executable (or library), read from its resource directory.
namespace PeIcon {

QString InvalidText(); // "Executable file is not valid"

// True when the bytes begin like a Windows executable (an MZ stub pointing at a PE header).
bool IsExecutable(const QByteArray& file);
// The image of the first icon group at the large icon size; nothing when the file is no
// Windows executable or has no icon. Raises InvalidText() when its headers or resources are
// cut off or point outside the file, or the icon's own error for a damaged icon.
std::optional<Icon> FirstIcon(const QByteArray& file);

} // namespace PeIcon
