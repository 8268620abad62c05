#pragma once

// The skinned list control of the playlist (playlist mode) and of the wizard (wizard
// mode): three columns without a header over the entries of one MediaEntryLists. It
// draws selected rows in the owner's colours and the now-playing row in bold, plays on a
// double-click, sets or resets the playing entry's range from the playback position with
// the right button, drags the selected rows as a block, takes dropped files (playlist
// mode, unfiltered), scrolls a line per wheel notch and removes the selection on Delete.
//
// Rows are read from the entries, never stored, and every move of a row is a move of its
// entry: rows and entries agree at every step. Owners change entries through Entries();
// the rows follow by themselves.

#include <QPoint>
#include <QRect>
#include <QTreeView>
#include <cstdint>
#include <vector>

#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/MediaEntryModel.h"

class IListCtrlOwner;
class IListScrollParts;
class QMimeData;

class XCListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit XCListCtrl(QWidget* parent = nullptr);
    ~XCListCtrl() override;

    // The owner's initialisation: kPlaylistMode (multiple selection, drops, no platform
    // scroll bar) or kWizardMode (single selection, vertical scroll bar). In playlist mode
    // the now-playing row is mirrored into the owner's settings' currentIndex.
    void SetOwner(int32_t ownerMode, IListCtrlOwner* owner);
    // The bitmap scroll bar beside the list; nullptr for none.
    void SetScrollParts(IListScrollParts* parts) { scrollParts_ = parts; }
    // Records the list's screen rectangle and the owner's client origin on screen, from
    // which the scroll parts are placed, and starts the scroll state at the top.
    void InitScrollMetrics(const QPoint& referencePoint);
    // The playlist's layout moved the list.
    void SetListGeometry(const QRect& listRect, const QPoint& referencePoint);
    // height is a font height in pixels (negative as owners pass it); bold etc. are 0 or 1.
    void SetListFont(int height, int bold, int italic, int underline, int strikeout,
                     const QString& face);
    // COLORREF values (0x00BBGGRR).
    void SetListColors(uint32_t textColor, uint32_t backgroundColor);
    void SetSelectionColors(uint32_t selectionBkColor, uint32_t selectionTextColor);
    // The width a time column needs to show "00:00:00" whole in the now-playing row's
    // bold face, margins included: fonts wider than the design's make 60 pixels too few.
    int TimeColumnWidth() const;

    MediaEntryLists& Entries() { return entries_; }
    const MediaEntryLists& Entries() const { return entries_; }
    MediaEntryModel& ItemModel() { return items_; }

    // Playlist mode: marks row as the playing one and scrolls it into view; nothing for
    // a row outside the list.
    void SetCurrentItem(int row);
    std::vector<int> SelectedRows() const;  // ascending
    // The Delete key: removes the selected rows (while filtering, their master entries).
    void RemoveSelectedRows();
    // One drag step: the entries of rows a and b change places and the selection moves
    // from a to b.
    void MoveRowStep(int a, int b);

    // Scroll state for the scroll parts: the top row, the largest top row, one line.
    int ScrollPos() const { return scrollPos_; }
    void SetScrollPos(int pos) { scrollPos_ = pos; }
    int ScrollLimit();
    int TopIndex();
    int CountPerPage();
    const QRect& ListRect() const { return listRect_; }
    const QPoint& ReferencePoint() const { return referencePoint_; }
    // Makes row ScrollPos() the top row.
    void EnsureTopIndex();
    void ScrollLineDown();
    void ScrollLineUp();
    // The thumb's release: the playlist probes the rows the drag brought into view.
    void ProbeAfterThumbDrag();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int RowAt(const QPoint& point) const;
    QRect RowRect(int row) const;
    void RefreshScrollState();
    void RefreshOwner();
    void ScrollBy(int lines);
    void OnRButtonDown(QMouseEvent* event);
    void OnRClick(int row, int column);
    void OnRDblClk(int row, int column);
    void OnDblClk(int row);
    void CaptureSelection();
    void DragDown(const QPoint& point);
    void DragUp(const QPoint& point);
    void StepBlock(int direction);
    void SelectRows(const std::vector<int>& rows);
    bool AcceptsDrop(const QMimeData* mime) const;

    MediaEntryLists entries_;
    MediaEntryModel items_;
    IListCtrlOwner* owner_ = nullptr;
    IListScrollParts* scrollParts_ = nullptr;
    int32_t ownerMode_ = kPlaylistMode;
    bool contextMenuPending_ = false;

    // Block drag: armed by a left press on a row; the selection is taken at the first
    // move out of the pressed row; anchorPos_ - anchorRow_ is how far the block has moved.
    bool dragArmed_ = false;
    bool selectionCaptured_ = false;
    bool dragMoved_ = false;
    int anchorRow_ = -1;
    int anchorPos_ = -1;
    QRect anchorRect_;
    QPoint lastDragPoint_{-1, -1};
    std::vector<int> dragSelection_;
    int dragRowCount_ = 0;

    int scrollLimit_ = 0;
    int scrollPos_ = 0;
    QRect listRect_;
    QPoint referencePoint_;
    // Wheel deltas below one notch (touchpads) add up until they make a line.
    int wheelRemainder_ = 0;
};
