#pragma once

// The playlist as the main window plays and changes it, and the player's own rows behind
// that interface until the playlist window lends its list.

#include <functional>
#include <string>
#include <vector>

#include "player/playlist/DurationProber.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/shell/PlaySequence.h"

struct PlayerSettings;

// The rows, and the edits that opening, dropping and launching make.
class IPlaylist : public IPlaylistRows {
public:
    // The entries behind the rows.
    virtual MediaEntryLists& Entries() = 0;
    virtual bool FilterActive() const = 0;
    // Shows every entry again.
    virtual void ClearFilter() = 0;
    // A new last row for path (begin 0, length not known); its row, -1 when none was added.
    virtual int Append(const std::string& path) = 0;
    // The rows become paths, in order, none playing.
    virtual void ReplaceWith(const std::vector<std::string>& paths) = 0;
    // Opens the playlist file as every way of opening one does (its rows, and with the
    // playlist window the current playlist and the recent list); done(false), rows
    // untouched, when it is no playlist. done may run later for a large file.
    virtual void OpenPlaylist(const std::string& path, std::function<void(bool)> done) = 0;
    virtual void ProbeVisibleDurations() = 0;
};

// The entries, the row that plays (mirrored into settings.currentIndex), the lengths learnt
// as rows are played or dropped in, and the random-order switch.
class PlaylistRows : public IPlaylist {
public:
    // The rows a page of the list shows: the lengths worth learning after a replacement.
    static constexpr int kVisibleRows = 32;

    // The row that plays is mirrored into settings.currentIndex.
    explicit PlaylistRows(PlayerSettings& settings);
    // Tests give their own lengths.
    PlaylistRows(PlayerSettings& settings, LengthWorker::LengthFunction length);

    int RowCount() const override { return entries_.Count(); }
    int CurrentRow() const override { return entries_.CurrentRow(); }
    void MarkCurrent(int row) override { entries_.SetCurrentRow(row); }
    MediaEntry EntryAt(int row) const override { return entries_.Entry(row); }
    void ProbeDuration(int row) override { prober_.ProbeDuration(row); }
    bool RandomOrder() const override { return random_; }
    void SetRandomOrder(bool on) { random_ = on; }
    MediaEntryLists& Entries() override { return entries_; }
    bool FilterActive() const override { return entries_.FilterActive(); }
    void ClearFilter() override { entries_.ShowMaster(); }
    int Append(const std::string& path) override;
    void ReplaceWith(const std::vector<std::string>& paths) override;
    void OpenPlaylist(const std::string& path, std::function<void(bool)> done) override;
    void ProbeVisibleDurations() override { prober_.ProbeRows(0, kVisibleRows); }
    int PendingProbes() const { return prober_.Pending(); }

private:
    MediaEntryLists entries_;
    DurationProber prober_;
    bool random_ = false;
};
