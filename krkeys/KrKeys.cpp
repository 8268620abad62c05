#include "krkeys/KrKeys.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <memory>
#include <mutex>
#include <string>

#include "krkeys/RecordListener.h"

namespace {

struct Hook {
    std::mutex calls;        // setMyHook and clearMyHook, one at a time
    std::mutex targetMutex;  // the target, against the watch thread's posting
    QObject* target = nullptr;
    std::unique_ptr<RecordListener> listener;
};

// Never destroyed: a watch still running at exit must not meet a destroyed hook.
Hook& TheHook() {
    static Hook* hook = new Hook;
    return *hook;
}

void Post(Hook& hook, uint32_t code, int kind) {
    std::lock_guard lock(hook.targetMutex);
    if (hook.target) QCoreApplication::postEvent(hook.target, new HotKeyEvent(code, kind));
}

}  // namespace

bool setMyHook(QObject* window) {
    Hook& hook = TheHook();
    std::lock_guard calls(hook.calls);
    if (!window) return false;
    {
        std::lock_guard lock(hook.targetMutex);
        hook.target = window;
    }
    if (hook.listener && hook.listener->Running()) return true;
    hook.listener.reset();

    auto listener = std::make_unique<RecordListener>([&hook](uint32_t code, int kind) { Post(hook, code, kind); });
    std::string error;
    if (!listener->Start(&error)) {
        qWarning("krkeys: global hot keys are off: %s", error.c_str());
        std::lock_guard lock(hook.targetMutex);
        hook.target = nullptr;
        return false;
    }
    hook.listener = std::move(listener);
    return true;
}

void clearMyHook(QObject* /*window*/) {
    Hook& hook = TheHook();
    std::lock_guard calls(hook.calls);
    QObject* posted = nullptr;
    {
        std::lock_guard lock(hook.targetMutex);
        posted = hook.target;
        hook.target = nullptr;
    }
    if (hook.listener) {
        hook.listener->Stop();
        hook.listener.reset();
    }
    // Messages already queued for the window would otherwise arrive after this returns.
    if (posted) QCoreApplication::removePostedEvents(posted, HotKeyEvent::EventType());
}
