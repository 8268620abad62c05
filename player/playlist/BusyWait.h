#pragma once

// The window's side of work that goes on in the background (lengths being probed, a folder
// being scanned): the busy cursor over the whole player, a line of status shown by the
// owner, and Escape in any of the player's windows cancels it. All of it ends when the
// object goes.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class BusyWait : public QObject {
    Q_OBJECT
public:
    // Shows a status line; an empty text takes it away.
    using Status = std::function<void(const std::string&)>;

    // cancel runs from inside the key's delivery: it must end the wait with Finish, never
    // by deleting it at once. parent owns a wait whose end is still pending.
    BusyWait(Status status, std::function<void()> cancel, QObject* parent);
    ~BusyWait() override;

    // The text gets " - Esc cancels" after it.
    void SetStatus(const std::string& text);
    // Ends the wait held in busy: cursor, status and Escape go back at once, the object on a
    // later turn of the event loop (it may be the one delivering Escape).
    static void Finish(std::unique_ptr<BusyWait>& busy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Release();

    Status status_;
    std::function<void()> cancel_;
    bool active_ = true;
};
