#include "player/playlist/PlaylistKeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

#include "player/playlist/PlaylistCommands.h"

PlaylistKeyFilter::PlaylistKeyFilter(PlaylistCommands& commands, QWidget* filterBox,
                                     QObject* parent)
    : QObject(parent), commands_(commands), filterBox_(filterBox) {}

bool PlaylistKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool filterFocused = filterBox_ && filterBox_->hasFocus();
    return commands_.HandleKey(key->key(), key->modifiers(), key->isAutoRepeat(), filterFocused);
}
