#pragma once

// The playlist window's list as the playlist that plays: its rows, the row it marks as
// playing, its filter and its random-order switch. Lengths of rows about to play are
// probed here; the window probes the rows it shows.

#include <string>
#include <vector>

#include "player/shell/PlaylistRows.h"

class CKalvorPlaylist;

class PlaylistWindowRows : public IPlaylist {
public:
    explicit PlaylistWindowRows(CKalvorPlaylist& window);

    int RowCount() const override;
    int CurrentRow() const override;
    void MarkCurrent(int row) override;
    MediaEntry EntryAt(int row) const override;
    void ProbeDuration(int row) override;
    bool RandomOrder() const override;

    MediaEntryLists& Entries() override;
    bool FilterActive() const override;
    void ClearFilter() override;
    int Append(const std::string& path) override;
    void ReplaceWith(const std::vector<std::string>& paths) override;
    void OpenPlaylist(const std::string& path, std::function<void(bool)> done) override;
    void ProbeVisibleDurations() override;

private:
    CKalvorPlaylist& window_;
};
