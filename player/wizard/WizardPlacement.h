#pragma once

// Where the wizard and the logo go, as plain arithmetic: the wizard below the centre of
// the main window, and the logo's place on the screen as X and Y in tenths of a percent
// of the room it can move in (korc puts the logo by the same numbers).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <string>

// The wizard's top-left corner: centred under the main window's centre and kept on the
// desktop; when it would reach within 40 pixels of the bottom it goes above the centre,
// and never above the desktop's top.
QPoint PlaceWizard(const QRect& mainWindow, const QSize& wizard, const QRect& desktop);

// The room the logo moves in along one direction: the screen's extent less the logo's
// (and, downwards, the caption's). A logo as large as the screen gets 1, never 0 or less.
int LogoFreeRange(int screenExtent, int logoExtent, int captionHeight = 0);
// The logo's offset from the start of its room as tenths of a percent, 0..1000.
int LogoPosition(int offset, int freeRange);
// The offset held within the room, as a release leaves it.
int ClampLogoOffset(int offset, int freeRange);
// The caption of the placement frame for a position.
std::string LogoCaption(int x, int y);
