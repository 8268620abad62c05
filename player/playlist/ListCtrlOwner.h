#pragma once

// Everything XCListCtrl calls out to, in one place: the playlist window in playlist mode,
// the wizard window in wizard mode (each answers the calls of its mode; the others are
// never made). Tests give the control a fake owner.

#include <QPoint>

struct PlayerSettings;

class IListCtrlOwner {
public:
    virtual ~IListCtrlOwner() = default;
    // The settings record: currentIndex follows the now-playing row, rangeEnd the range
    // of the entry that plays.
    virtual PlayerSettings& Settings() = 0;
    // Playlist: probe the lengths of the rows now in view.
    virtual void ProbeVisibleDurations() = 0;
    // Wizard: show the selected row's name and range in the time fields.
    virtual void FillTimeFields() = 0;
    // Wizard: the job buttons follow the row count.
    virtual void UpdateJobButtons() = 0;
    // Main window: play the row in currentIndex.
    virtual void PlaySelected() = 0;
    // Main window: the playback position in seconds, negative while nothing is open.
    virtual double PlaybackPosition() = 0;
    // The owner's list menu at a screen point (returns when the menu closes).
    virtual void ShowListMenu(const QPoint& globalPos) = 0;
    // Playlist: the pointer left the menu bar for the list, so a highlighted caption is
    // drawn plain again.
    virtual void ResetHoverCaption() = 0;
};
