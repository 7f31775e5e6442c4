#pragma once

#include <QStringList>

// Face names the label text can be set in, sorted by name ignoring case. Vertical-writing
// faces (names beginning with "@") are left out when excludeVertical is set.
QStringList GetFontList(bool excludeVertical);

// The same rules applied to a given list of names; a family offered by several foundries
// ("C059 [URW]") is listed once under its own name.
QStringList SortFontNames(QStringList names, bool excludeVertical);
