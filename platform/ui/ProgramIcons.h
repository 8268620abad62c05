#pragma once

// The icons of both programs' windows and menus, by the resource numbers their designs
// give them. A menu icon comes from the desktop's icon theme when the theme has one of the
// name that fits it; the others, and every one the theme lacks, are drawn here, so that a
// desktop without a theme shows them all the same.

#include <QIcon>

namespace programicons {

inline constexpr int kPlayer = 164;  // the player's windows, tray and About box
inline constexpr int kPlay = 168, kStop = 169, kPause = 170, kPrevious = 171, kNext = 172,
                     kExit = 173, kOpen = 174, kOptions = 175, kSubtitles = 176,
                     kRangeEnd = 177, kRangeBegin = 178;
inline constexpr int kKorc = 211;  // korc's pages and progress dialog

// The icon of a resource number; a null icon for a number that names none.
QIcon Icon(int resource);
// The theme's name for the resource's icon; nullptr when it is always drawn here.
const char* ThemeName(int resource);
// The icon as drawn here, whatever the theme has.
QIcon DrawnIcon(int resource);

}  // namespace programicons
