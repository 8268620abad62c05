#pragma once

// What the four pieces of the playlist's bitmap scroll bar share: a small child of the
// list's owner that shows one image cut from the skin's scroll bitmap 1:1, is placed from
// the list's rectangle and stays above its siblings.

#include <QImage>
#include <QWidget>

#include "common/WinRect.h"
#include "player/playlist/PlaylistFrame.h"

class XCListCtrl;

// Where the images lie in the scroll bitmap: a column 13 pixels wide from x 0.
namespace scrollskin {
inline constexpr int kWidth = 13;
inline constexpr int kDownNormal = 0;
inline constexpr int kUpNormal = 13;
inline constexpr int kDownPressed = 26;
inline constexpr int kUpPressed = 39;
inline constexpr int kThumbNormal = 52;
inline constexpr int kThumbPressed = 70;
inline constexpr int kTrackTile = 88;
inline constexpr int kCloseNormal = 101;
inline constexpr int kCloseHover = 114;
inline constexpr int kArrowHeight = 13;
inline constexpr int kThumbHeight = 18;

// The 13-pixel-wide block at y; a null image when the bitmap does not hold all of it, so
// that a missing or short bitmap leaves the piece blank.
QImage Cut(const QImage& skin, int y, int height);
}  // namespace scrollskin

class XCListCtrlScrollPart : public QWidget {
    Q_OBJECT
public:
    explicit XCListCtrlScrollPart(QWidget* parent);
    ~XCListCtrlScrollPart() override;

    void SetList(XCListCtrl* list) { listCtrl_ = list; }
    XCListCtrl* List() const { return listCtrl_; }
    // Cuts the piece's images from the skin's scroll bitmap, places it and shows its
    // normal image. A new skin is applied the same way.
    virtual void SetScrollSkin(const QImage& skin) = 0;
    // Moves and sizes the piece from the list's rectangle.
    virtual void Place() = 0;

    // The image the piece shows now.
    const QImage& Shown() const { return shown_; }

protected:
    // The scroll bar beside the list's rectangle in the owner's client coordinates.
    playlistframe::ScrollGeometry Geometry() const;
    void PlaceAt(const WinRect& rect);
    // Shows image and paints it at once.
    void Show(const QImage& image);
    void paintEvent(QPaintEvent* event) override;

    XCListCtrl* listCtrl_ = nullptr;

private:
    QImage shown_;
};
