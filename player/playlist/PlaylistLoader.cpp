#include "player/playlist/PlaylistLoader.h"

#include <sys/stat.h>

#include <QMetaObject>

namespace {

bool Small(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
           static_cast<size_t>(info.st_size) <= PlaylistLoader::kInPlaceBytes;
}

std::optional<MediaEntryLists::Batch> Read(const std::string& path,
                                           const playlistfile::ExistsFunction& exists,
                                           const std::atomic<bool>* dropped) {
    std::optional<std::vector<MediaEntry>> entries =
        playlistfile::Load(path, exists, nullptr, dropped);
    if (!entries) return std::nullopt;
    return MediaEntryLists::Batch(std::move(*entries));
}

}  // namespace

PlaylistLoader::PlaylistLoader(QObject* parent) : QObject(parent) { pool_.setMaxThreadCount(1); }

PlaylistLoader::~PlaylistLoader() {
    Cancel();
    pool_.waitForDone();
}

void PlaylistLoader::Load(const std::string& path, playlistfile::ExistsFunction exists, Done done) {
    Cancel();
    const uint64_t generation = ++generation_;
    if (Small(path)) {
        done(Read(path, exists, nullptr));
        return;
    }
    loading_ = true;
    dropped_ = std::make_shared<std::atomic<bool>>(false);
    pool_.start([this, path, exists, done = std::move(done), generation, dropped = dropped_] {
        auto entries = std::make_shared<std::optional<MediaEntryLists::Batch>>(
            Read(path, exists, dropped.get()));
        if (dropped->load()) return;
        // The destructor cancels and waits for this thread before this object goes.
        QMetaObject::invokeMethod(
            this,
            [this, done, generation, entries] {
                if (generation != generation_) return;
                loading_ = false;
                done(std::move(*entries));
            },
            Qt::QueuedConnection);
    });
}

void PlaylistLoader::Cancel() {
    ++generation_;
    loading_ = false;
    if (dropped_) dropped_->store(true);
    dropped_.reset();
}

void PlaylistLoader::Free(MediaEntryLists::Batch entries) {
    if (entries.Size() == 0) return;
    auto doomed = std::make_shared<MediaEntryLists::Batch>(std::move(entries));
    pool_.start([doomed]() mutable { doomed.reset(); });
}
