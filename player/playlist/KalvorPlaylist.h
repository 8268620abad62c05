#pragma once

// The playlist window: a frameless tool window transient for the video window. It draws
// its own shaded frame and one-line menu bar (File, Edit, Sort, Operation), a close button
// and a filter box, and holds the skinned list with its bitmap scroll bar. Dragged by the
// band above the menu bar it moves and snaps to the main window; dragged by its left,
// right or bottom edge or its bottom-right corner it resizes. Its rectangle, visibility and
// dock side live in the settings record.

#include <QDialog>
#include <QImage>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/ListScrollBar.h"
#include "player/playlist/PlaylistCommandSet.h"
#include "player/playlist/PlaylistDocument.h"
#include "player/playlist/PlaylistFrame.h"
#include "player/playlist/PlaylistWindowHost.h"

class CMenuXP;
class DurationProber;
class QLabel;
class QLineEdit;
class XCListCtrl;
struct PlayerSettings;

class CKalvorPlaylist : public QDialog,
                        public IListCtrlOwner,
                        public IPlaylistFilesOwner,
                        public IPlaylistCommandsHost {
    Q_OBJECT
public:
    static constexpr int kMinWidth = playlistframe::kMinWidth;
    static constexpr int kMinHeight = playlistframe::kMinHeight;
    static constexpr int kHelpContext = 2;
    static constexpr char kScrollSkinFile[] = "scrollskin.bmp";

    // The player's main window is the host; tests give their own.
    CKalvorPlaylist(IPlaylistWindowHost& host, QWidget* parent);
    ~CKalvorPlaylist() override;

    // Where the chosen menu items go; none until set.
    void SetCommandHandler(IPlaylistCommandHandler* handler) { commands_ = handler; }

    // Places the window at playlistRect, widened and heightened to the minimum size,
    // topmost when alwaysOnTop is 1, and lays out the list, scroll bar, close button and
    // filter box in it.
    virtual void LayoutPlaylist();
    // The skin changed: new scroll bitmap, close images and colours.
    void ApplyPlaylistSkin();
    // The window's move during a drag: snaps playlistRect to the main window.
    void SnapToMainWindow();

    // Redraw caption k (1..4) plain or highlighted; nothing for k <= 0 or before the first paint.
    void DrawMenuCaption(int k);
    void DrawMenuCaptionHighlighted(int k);

    XCListCtrl& List() { return *list_; }
    ListScrollBar& ScrollBar() { return scrollBar_; }
    QLineEdit& FilterBox() { return *filterBox_; }
    PlaylistDocument& Document() { return *document_; }
    // The one prober of the list's lengths.
    DurationProber& Prober() { return *prober_; }
    CMenuXP& ListMenu() { return *menus_[0]; }
    // 1 File, 2 Edit, 3 Sort, 4 Operation.
    CMenuXP& CaptionMenu(int k) { return *menus_[k]; }
    CMenuXP* RecentMenu() const { return recentMenu_; }
    const playlistframe::MenuBar& MenuBarMetrics() const { return menuBar_; }
    int HoverCaption() const { return hoverCaption_; }
    bool CloseHovered() const { return closeHovered_; }
    bool Moving() const { return moving_; }
    bool Resizing() const { return resizing_; }
    int ResizeKind() const { return resizeKind_; }
    bool RandomOrder() const override { return randomOrder_ != 0; }
    // Random Playback Order; its Sort menu item is checked while it is on.
    void SetRandomOrder(bool on) override;
    PlaylistColors Colors() const { return colors_; }

    // IListCtrlOwner
    PlayerSettings& Settings() override;
    void ProbeVisibleDurations() override;
    void FillTimeFields() override {}
    void UpdateJobButtons() override {}
    void PlaySelected() override;
    double PlaybackPosition() override;
    void ShowListMenu(const QPoint& globalPos) override;
    void ResetHoverCaption() override;

    // IPlaylistFilesOwner
    std::optional<std::string> AskOpenPath(const std::string& initialFolder) override;
    std::optional<SaveChoice> AskSavePath(const std::string& initialFolder) override;
    void ClearFilter() override;
    void RecentPlaylistsChanged() override;
    QWidget* DialogOwner() override { return this; }
    // Painted in the band above the menu bar.
    void ShowBusyStatus(const std::string& text) override;
    const std::string& BusyStatus() const { return busyStatus_; }

    // IPlaylistCommandsHost
    void FocusFilterBox() override;
    void ToggleWindow() override;
    void PlaceScrollThumb() override { scrollBar_.PlaceScrollThumb(); }
    // The menus' and keys' operations, also for the main and the video window.
    PlaylistCommands& Commands() { return commandSet_->Commands(); }

protected:
    // Shows menu below a caption or at the pointer and returns the chosen id (0: none);
    // modal until the menu closes. Tests answer instead.
    virtual int32_t TrackMenu(CMenuXP& menu, const QPoint& globalPos);

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    // Escape hides the window as its close button does, so that playlistVisible follows.
    void reject() override;

private:
    // The steps of OnInitDialog.
    void OnInitDialog();
    void InitBackground();
    void InitListControl();
    void LoadScrollSkin();
    void InitColumns();
    void InitListFont();
    void BuildMenus();
    void InitCursors();
    void LoadInternalPlaylist();
    void CreateMediaDetector();
    void SelectCurrentEntry();

    void ApplyColors();
    void SetMenuColors();
    void PlaceCloseImages();
    void PlaceFilterBox();
    void SetChildrenVisible(bool visible);
    void UpdateMenuBarMetrics(const QFontMetrics& metrics);
    void PaintFrame(QPainter& painter);
    void OpenCaptionMenu(int k);
    void RunCommand(int32_t id);
    void ClosePlaylist();
    void SetCloseHovered(bool hovered);
    // Ends a move or resize, also when its release was lost.
    void EndDrag();
    // The pointer in client coordinates of the rectangle last placed.
    QPoint ClientPoint(const QPointF& global) const;
    playlistframe::Size WindowSize() const;
    WinRect BusyStatusRect() const;

    IPlaylistWindowHost& host_;
    IPlaylistCommandHandler* commands_ = nullptr;
    PlaylistColors colors_;

    // Sort directions (duration, name, directory, type) and Random Playback Order: every
    // start of the program begins with them off.
    std::array<int32_t, 4> sortDirections_{};
    int32_t randomOrder_ = 0;

    // 0 the list menu, 1..4 the captions' menus; the Recent Playlists sub-menu is File's.
    std::array<std::unique_ptr<CMenuXP>, 5> menus_;
    CMenuXP* recentMenu_ = nullptr;

    // Paint state: the menu bar as measured with its font; caption redraws wait for the
    // first paint.
    QFont menuFont_;
    playlistframe::MenuBar menuBar_;
    bool painted_ = false;
    std::array<bool, 5> highlighted_{};  // by caption 1..4
    bool filterPlaced_ = false;
    std::string busyStatus_;
    bool started_ = false;  // OnInitDialog has run to its end

    // Mouse state. hoverCaption_ is -k after caption k's menu was opened from it, so that
    // a click without moving does not open it again.
    int hoverCaption_ = 0;
    bool resizing_ = false;
    bool moving_ = false;
    QPoint dragStart_;
    QPoint lastPoint_{-1, -1};
    int resizeKind_ = playlistframe::kNoResize;
    bool closeHovered_ = false;

    QImage scrollSkin_;
    QImage closeNormal_;
    QImage closeHover_;

    XCListCtrl* list_;  // a child: the window deletes it
    ListScrollBar scrollBar_;
    QLabel* closeNormalLabel_;
    QLabel* closeHoverLabel_;
    QLineEdit* filterBox_;
    std::unique_ptr<PlaylistDocument> document_;
    std::unique_ptr<DurationProber> prober_;  // after the list: it writes to its entries
    // Last: its key filter sits on the list and the window, so it goes first.
    std::unique_ptr<PlaylistCommandSet> commandSet_;
};
