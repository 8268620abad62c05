#pragma once

// The playlist window's keys, taken before any of its widgets sees them (the list would
// otherwise search for a typed letter, the dialog would close on Enter). Installed on the
// window and on its list; keys typed while the filter box has the focus are the box's.

#include <QObject>

class PlaylistCommands;
class QWidget;

class PlaylistKeyFilter : public QObject {
    Q_OBJECT
public:
    // Both must outlive the filter.
    PlaylistKeyFilter(PlaylistCommands& commands, QWidget* filterBox, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PlaylistCommands& commands_;
    QWidget* filterBox_;
};
