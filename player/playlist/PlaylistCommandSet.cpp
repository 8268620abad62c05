#include "player/playlist/PlaylistCommandSet.h"

#include <QLineEdit>

#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"

PlaylistCommandSet::PlaylistCommandSet(QWidget& window, XCListCtrl& list, QLineEdit& filterBox,
                                       IPlaylistCommandsHost& host, PlaylistDocument* document,
                                       DurationProber* prober)
    : window_(window),
      list_(list),
      dialogs_(&window),
      commands_(list, host, dialogs_, clipboard_, prober),
      range_(std::make_unique<CPlayRange>(list, commands_.Lengths(), host.Settings().rangeEnd,
                                          &window)),
      keys_(commands_, &filterBox) {
    commands_.SetDocument(document);
    commands_.SetPlayRange(range_.get());
    window_.installEventFilter(&keys_);
    list_.installEventFilter(&keys_);
}

PlaylistCommandSet::~PlaylistCommandSet() {
    list_.removeEventFilter(&keys_);
    window_.removeEventFilter(&keys_);
}
