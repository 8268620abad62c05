#include "player/playlist/XCListCtrlScrollLine.h"

#include <QPainter>

XCListCtrlScrollLine::XCListCtrlScrollLine(QWidget* parent) : XCListCtrlScrollPart(parent) {}

void XCListCtrlScrollLine::SetScrollSkin(const QImage& skin) {
    tileImage_ = scrollskin::Cut(skin, scrollskin::kTrackTile, scrollskin::kArrowHeight);
    Place();
}

void XCListCtrlScrollLine::Place() {
    PlaceAt(Geometry().TrackRect());
    RetileTrack();
}

void XCListCtrlScrollLine::RetileTrack() {
    const int listHeight = Geometry().list.Height();
    const int height = playlistframe::TrackHeight(listHeight);
    if (tileImage_.isNull() || height <= 0) {
        Show(QImage());
        return;
    }
    QImage track(scrollskin::kWidth, height, tileImage_.format());
    QPainter painter(&track);
    const int tiles = playlistframe::TrackTiles(listHeight);
    for (int i = 0; i < tiles; ++i) painter.drawImage(0, i * tileImage_.height(), tileImage_);
    painter.end();
    Show(track);
}
