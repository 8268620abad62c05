#pragma once

// Keeps the screen saver away while a video is open, through the freedesktop ScreenSaver
// service, and never changes the user's own screen-saver setting. Without a session bus or
// the service it does nothing (noted once).

#include <QObject>
#include <cstdint>

class QDBusPendingCallWatcher;

namespace media {

class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;  // releases a held inhibition

    void Inhibit();
    void Release();
    // True between Inhibit and Release, whether or not a service honours it.
    bool IsWanted() const { return wanted_; }

private:
    void OnInhibitReply(QDBusPendingCallWatcher* watcher);
    void SendUnInhibit(uint32_t cookie);

    bool wanted_ = false;
    bool pending_ = false;  // an Inhibit call awaits its cookie
    bool hasCookie_ = false;
    uint32_t cookie_ = 0;
};

}  // namespace media
