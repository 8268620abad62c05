#pragma once

// Reads a playlist file, parses it, resolves its paths and makes its entries ready for the
// list, all away from the user-interface thread, so a playlist of a million entries never
// holds the window. A small file is read in place and answered before Load returns, so the
// start-up keeps its order. One load at a time: a newer one drops the older one's answer.

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlaylistFile.h"

class PlaylistLoader : public QObject {
    Q_OBJECT
public:
    // Files up to this size are read in place: a few thousand entries, a few milliseconds.
    static constexpr size_t kInPlaceBytes = 256 * 1024;
    // The entries, or nothing when the file cannot be read or is no playlist.
    using Done = std::function<void(std::optional<MediaEntryLists::Batch>)>;

    explicit PlaylistLoader(QObject* parent = nullptr);
    // The load under way is dropped; waits for its thread to notice.
    ~PlaylistLoader() override;

    // done runs on this object's thread, at once for a small file, else later.
    void Load(const std::string& path, playlistfile::ExistsFunction exists, Done done);
    // The load under way will not answer.
    void Cancel();
    bool Loading() const { return loading_; }
    // Frees entries on the loader's thread: a million of them take the window tens of ms.
    void Free(MediaEntryLists::Batch entries);

private:
    QThreadPool pool_;
    uint64_t generation_ = 0;  // user-interface thread: the load whose answer counts
    bool loading_ = false;
    // Read by the thread between steps: the load it runs is no longer wanted.
    std::shared_ptr<std::atomic<bool>> dropped_;
};
