#pragma once

// The entries of one list control, row for row: the master list of every entry, the
// filtered view of the playlist's filter box, and (in playlist mode) the now-playing row,
// mirrored into the settings' currentIndex.
//
// Entries live in stable nodes; the filtered view holds references to master nodes, not
// copies, so a range or a length written while filtering is the master's. Every change
// goes through this class and is told to the observer, so the rows cannot drift from the
// entries. User-interface thread only; a job copies what it needs with Snapshot().

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "player/settings/MediaEntry.h"

class IMediaEntryListsObserver;

inline constexpr int32_t kPlaylistMode = 1;
inline constexpr int32_t kWizardMode = 2;

class MediaEntryLists {
    struct Node;

public:
    MediaEntryLists();
    ~MediaEntryLists();
    MediaEntryLists(const MediaEntryLists&) = delete;
    MediaEntryLists& operator=(const MediaEntryLists&) = delete;

    // Set once by the owner's initialisation. Only the playlist tracks a now-playing row.
    void SetOwnerMode(int32_t ownerMode);
    int32_t OwnerMode() const { return ownerMode_; }
    // The settings field that follows the now-playing row; nullptr for none.
    void BindCurrentIndex(int32_t* currentIndex) { currentIndex_ = currentIndex; }
    void SetObserver(IMediaEntryListsObserver* observer) { observer_ = observer; }

    // The view: what the rows show, in row order.
    int Count() const { return static_cast<int>(view_.size()); }
    const MediaEntry& Entry(int row) const { return view_[static_cast<size_t>(row)]->entry; }
    std::vector<MediaEntry> Snapshot() const;
    // Row texts: 0 the file name, 1 the begin, 2 the end (eight blanks for no time).
    std::string ColumnText(int row, int column) const;
    // The text after the last "/" of a path, the whole path when it has none.
    static std::string_view FileName(std::string_view path);

    // Inserts at index (0 at the head; past the end or negative at the tail) and returns
    // the row, or -1 while filtering: entries are added to the master view only.
    int AddEntry(int index, std::string path, double begin, double end);
    // Inserts entries in their order as one range at index, at a cost of the list plus the
    // range; the first row, or -1 while filtering (then nothing is added).
    int AddEntries(int index, std::vector<MediaEntry> entries);

    // Entries made ready for the list away from the user-interface thread (a playlist of a
    // million entries is not allocated on it), then taken in whole by Adopt.
    class Batch {
    public:
        Batch();
        explicit Batch(std::vector<MediaEntry> entries);
        Batch(Batch&&) noexcept;
        Batch& operator=(Batch&&) noexcept;
        ~Batch();
        size_t Size() const { return nodes_.size(); }

    private:
        friend class MediaEntryLists;
        std::vector<std::unique_ptr<Node>> nodes_;
    };
    // The entries become the batch's, with the entries added after the one named since kept
    // behind them in their order (rows added while the batch was being made); the current
    // row stays on its entry when that is kept. What is replaced goes into the returned
    // batch, for the caller to free where it costs the window nothing. The filter must be off.
    Batch Adopt(Batch batch, uint64_t since);
    // The entries added to this list from now on have ids above this one.
    static uint64_t LastId();
    // How many times the list was emptied by ClearEntries: a load begun before that is stale.
    uint64_t Clears() const { return clears_; }
    // Removes rows of the view; while filtering, their master entries go too.
    void RemoveEntry(int row);
    void RemoveEntries(std::vector<int> rows);
    // Removes every row of the view (while filtering, those master entries) and clears
    // the now-playing row.
    void ClearEntries();
    void SwapEntries(int a, int b);
    // Range writes. A begin that was set is shown even when it is 0.
    void SetBegin(int row, double seconds);
    void SetEnd(int row, double seconds);

    // A name for an entry that outlives row moves, for answers that come back later (a
    // probed length); never reused. 0 for a row outside the view.
    uint64_t IdOf(int row) const;
    // The view row of the entry with that id, -1 when it is gone or hidden by the filter;
    // hint is where it was last seen.
    int RowOf(uint64_t id, int hint = -1) const;

    // A length being probed. The entry keeps its end of -1 meanwhile: a file written then
    // says "not probed", never "no length". MarkPending is false unless the end is -1 and no
    // probe runs for it yet.
    bool Pending(int row) const;
    bool MarkPending(int row);
    // The probe's answer for the entry with that id, shown or hidden: its length, or -2 when
    // seconds is 0 or less. An end set meanwhile (a range) stays. False when the entry is gone
    // or was not waiting.
    bool SettlePending(uint64_t id, int hint, double seconds);
    // The probe was dropped: the entry is "not probed" again.
    void UnmarkPending(uint64_t id, int hint);

    // Playlist mode: -1 or the row of the entry that plays. Moves with its entry through
    // inserts, removals and swaps; currentIndex gets the same changes.
    int32_t CurrentRow() const { return currentRow_; }
    void SetCurrentRow(int row);

    // Filtered view: rows show the master entries that pass, in master order.
    bool FilterActive() const { return filterActive_; }
    void ShowFiltered(const std::function<bool(const MediaEntry&)>& passes);
    // Back to every master entry in master order; nothing when not filtering.
    void ShowMaster();
    int MasterCount() const { return static_cast<int>(master_.size()); }
    const MediaEntry& MasterEntry(int index) const {
        return master_[static_cast<size_t>(index)]->entry;
    }

    // Sorts of the view, ascending when ascending is 1, descending otherwise. Key lists
    // hold one key per row in row order and are reordered with the rows; a key list of
    // another length sorts nothing. With keysArePaths set, the string sort compares the
    // rows' paths and leaves keys alone.
    void SortByColumnText(int column, int ascending);
    void SortByStringKeys(std::vector<std::string>& keys, int ascending);
    void SortByNumberKeys(std::vector<double>& keys, int ascending);
    void SetKeysArePaths(bool keysArePaths) { keysArePaths_ = keysArePaths; }

    // Bulk changes (loading, adding folders): the observer sees one reset at the end.
    void BeginUpdate();
    void EndUpdate();

private:
    struct Node {
        MediaEntry entry;
        uint64_t id = 0;
        bool beginShown = false;  // a begin of 0 set on purpose shows "00:00:00"
        bool pending = false;     // its length is being probed
    };

    Node& NodeAt(int row) { return *view_[static_cast<size_t>(row)]; }
    // The entry with that id, shown or hidden; nullptr when gone.
    Node* Find(uint64_t id, int hint) const;
    void RebuildView();
    void RemoveSortedRows(const std::vector<int>& ascendingRows);
    void SwapRows(int a, int b);
    void SetCurrent(int32_t row);
    void ShiftCurrent(int32_t delta);
    void NotifyChanged(int first, int last);
    void SortByRanks(std::vector<int64_t> ranks, const std::function<void(int, int)>& swapKeys);

    int32_t ownerMode_ = kPlaylistMode;
    bool filterActive_ = false;
    int32_t currentRow_ = -1;
    int32_t* currentIndex_ = nullptr;
    bool keysArePaths_ = false;
    int updateDepth_ = 0;
    uint64_t lastId_ = 0;  // the highest id of an entry added to this list
    uint64_t clears_ = 0;
    IMediaEntryListsObserver* observer_ = nullptr;
    std::vector<std::unique_ptr<Node>> master_;
    // The rows: every master node in master order, or the filtered references.
    std::vector<Node*> view_;
};
