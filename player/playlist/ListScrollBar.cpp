#include "player/playlist/ListScrollBar.h"

#include "player/playlist/XCListCtrl.h"
#include "player/skin/SkinBitmap.h"

ListScrollBar::ListScrollBar(QWidget* owner)
    : track_(owner), thumb_(owner), down_(owner), up_(owner) {}

void ListScrollBar::SetList(XCListCtrl* list) {
    for (XCListCtrlScrollPart* part :
         std::initializer_list<XCListCtrlScrollPart*>{&track_, &thumb_, &down_, &up_})
        part->SetList(list);
    if (list) list->SetScrollParts(this);
}

void ListScrollBar::SetScrollSkin(const QImage& skin) {
    down_.SetScrollSkin(skin);
    up_.SetScrollSkin(skin);
    track_.SetScrollSkin(skin);
    thumb_.SetScrollSkin(skin);
}

void ListScrollBar::SetVisible(bool visible) {
    for (QWidget* part : std::initializer_list<QWidget*>{&track_, &thumb_, &down_, &up_})
        part->setVisible(visible);
}

void ListScrollBar::PlaceAllParts() {
    down_.Place();
    up_.Place();
    track_.Place();
    thumb_.RepositionThumb();
}

QImage ListScrollBar::LoadBitmap(const std::string& path) {
    return skinbitmap::Load(path, kMaxBitmapBytes);
}
