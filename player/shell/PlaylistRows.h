#pragma once

// The playlist's entries as the main window plays them: the rows, the row that plays, the
// lengths learnt as rows are played or dropped in, and the random-order switch. Until the
// playlist window shows these rows, the main window owns them.

#include <string>
#include <vector>

#include "player/playlist/DurationProber.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/shell/PlaySequence.h"

struct PlayerSettings;

class PlaylistRows : public IPlaylistRows {
public:
    // The rows a page of the list shows: the lengths worth learning after a replacement.
    static constexpr int kVisibleRows = 32;

    // The row that plays is mirrored into settings.currentIndex.
    explicit PlaylistRows(PlayerSettings& settings);
    // Tests give their own lengths.
    PlaylistRows(PlayerSettings& settings, DurationProber::LengthFunction length);

    MediaEntryLists& Entries() { return entries_; }

    int RowCount() const override { return entries_.Count(); }
    int CurrentRow() const override { return entries_.CurrentRow(); }
    void MarkCurrent(int row) override { entries_.SetCurrentRow(row); }
    MediaEntry EntryAt(int row) const override { return entries_.Entry(row); }
    void ProbeDuration(int row) override { prober_.ProbeDuration(row); }
    bool RandomOrder() const override { return random_; }
    void SetRandomOrder(bool on) { random_ = on; }

    // Shows every entry again.
    void ClearFilter() { entries_.ShowMaster(); }
    // A new last row for path (begin 0, length not known); its row.
    int Append(const std::string& path);
    // The rows become paths, in order, none playing.
    void ReplaceWith(const std::vector<std::string>& paths);
    // The rows become the playlist file's; false, rows untouched, when it is no playlist.
    bool LoadPlaylist(const std::string& path);
    void ProbeVisibleDurations() { prober_.ProbeRows(0, kVisibleRows); }
    int PendingProbes() const { return prober_.Pending(); }

private:
    MediaEntryLists entries_;
    DurationProber prober_;
    bool random_ = false;
};
