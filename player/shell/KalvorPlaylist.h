#pragma once

// The playlist window: a borderless popup below the main window. Created hidden at
// start-up, with the video window as its parent; it keeps its place in the settings
// record's playlistRect. Its frame, menus and list are built on this window.

#include <QDialog>

class CKalvorDlg;
struct PlayerSettings;

class CKalvorPlaylist : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 200;
    static constexpr int kMinHeight = 100;

    CKalvorPlaylist(CKalvorDlg* main, PlayerSettings& settings, QWidget* parent);
    ~CKalvorPlaylist() override;

    CKalvorDlg* MainDialog() const { return main_; }

    // Places the window at playlistRect, widened and heightened to the minimum size,
    // topmost when alwaysOnTop is 1.
    virtual void LayoutPlaylist();

private:
    CKalvorDlg* main_;
    PlayerSettings& settings_;
};
