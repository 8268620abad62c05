#include "player/shell/KalvorPlaylist.h"

#include "platform/ui/ColorRef.h"
#include "player/shell/PlayerSettings.h"

CKalvorPlaylist::CKalvorPlaylist(CKalvorDlg* main, PlayerSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint), main_(main), settings_(settings) {}

CKalvorPlaylist::~CKalvorPlaylist() = default;

void CKalvorPlaylist::LayoutPlaylist() {
    WinRect& rect = settings_.playlistRect;
    if (rect.right - rect.left <= kMinWidth) rect.right = rect.left + kMinWidth;
    if (rect.bottom - rect.top <= kMinHeight) rect.bottom = rect.top + kMinHeight;
    const bool topmost = settings_.alwaysOnTop == 1;
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) != topmost)
        setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    setGeometry(colorref::ToQRect(rect));
}
