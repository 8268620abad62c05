#pragma once

// The playlist list's bitmap scroll bar as one thing: the four pieces, children of the
// list's owner, skinned from one scroll bitmap and placed as the list asks.

#include <QImage>
#include <string>

#include "player/playlist/ListScrollParts.h"
#include "player/playlist/XCListCtrlScrollDown.h"
#include "player/playlist/XCListCtrlScrollLine.h"
#include "player/playlist/XCListCtrlScrollThumb.h"
#include "player/playlist/XCListCtrlScrollUp.h"

class XCListCtrl;
class QWidget;

class ListScrollBar : public IListScrollParts {
public:
    // The skin's scroll bitmap is a few kilobytes; anything far larger is not one.
    static constexpr qint64 kMaxBitmapBytes = 4 << 20;

    explicit ListScrollBar(QWidget* owner);

    // Each piece knows the list and the list knows the bar.
    void SetList(XCListCtrl* list);
    // Cuts every piece's images and places them; a null bitmap leaves them blank.
    void SetScrollSkin(const QImage& skin);
    void SetVisible(bool visible);

    // IListScrollParts
    void PlaceScrollThumb() override { thumb_.Place(); }
    void PlaceAllParts() override;

    XCListCtrlScrollUp& Up() { return up_; }
    XCListCtrlScrollLine& Track() { return track_; }
    XCListCtrlScrollThumb& Thumb() { return thumb_; }
    XCListCtrlScrollDown& Down() { return down_; }

    // Reads a BMP file that is a regular file of bounded size; a null image otherwise.
    static QImage LoadBitmap(const std::string& path);

private:
    // Declared in the order they stack: the thumb lies over the track.
    XCListCtrlScrollLine track_;
    XCListCtrlScrollThumb thumb_;
    XCListCtrlScrollDown down_;
    XCListCtrlScrollUp up_;
};
