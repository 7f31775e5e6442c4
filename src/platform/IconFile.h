#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Icons as the desktop keeps them: a colour image and a mask of the pixels where the
// background shows through (or an alpha channel in place of the mask).
struct Icon {
    QImage image; // ARGB32
    QImage mask;  // Format_Mono, 1 where the background shows; null when alpha rules

    bool IsNull() const { return image.isNull(); }
};

namespace IconFile {

QString InvalidText(); // "Icon image is not valid"

// The large icon size of the desktop, and the size an icon without image is drawn at.
constexpr int kLargeIconSize = 32;

// One entry of an icon directory, as icon files and icon groups of executables list them.
struct Entry {
    int width = 0; // 256 where the directory says 0
    int height = 0;
    int bits = 0;
};
// The entry drawn at the large icon size: the nearest in size, then the deepest in colour,
// then the first. -1 for an empty list.
int PickEntry(const QList<Entry>& entries);

// One icon image: a bitmap with its mask (height doubled), or a PNG. Raises InvalidText(),
// or "Picture is too large".
Icon DecodeImage(const QByteArray& data);
// An icon file (.ico): its image at the large icon size. Raises InvalidText().
Icon Read(const QByteArray& file);

// The icon drawn at (0, 0) on white, at the width of its image in both directions (the large
// icon size when it has none): transparent pixels come out white, masked colours inverted.
QImage IconToBitmap(const Icon& icon);

} // namespace IconFile
