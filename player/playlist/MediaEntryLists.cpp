#include "player/playlist/MediaEntryLists.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <unordered_set>

#include "common/AsciiCase.h"
#include "common/FormatTime.h"
#include "player/playlist/MediaEntryListsObserver.h"
#include "player/playlist/RowQuickSort.h"

namespace {

// Sort compares read at most this many bytes of a row's text.
constexpr size_t kCompareLimit = 254;

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

// Each text's place among the distinct texts in byte order (texts are cut or folded by the
// caller so that byte order is the sort's order). The order is total, so the sort sees the
// same outcomes from ranks as from texts and leaves the same order, while a compare costs
// an integer compare however long the texts. Descending sorts negate the ranks.
std::vector<int64_t> RanksOf(const std::vector<std::string>& texts, int ascending) {
    // Paths of one playlist mostly share a long folder prefix; it decides no compare.
    size_t shared = texts.empty() ? 0 : texts[0].size();
    for (const std::string& text : texts) {
        shared = std::min(shared, text.size());
        shared = size_t(
            std::mismatch(text.begin(), text.begin() + ptrdiff_t(shared), texts[0].begin()).first -
            text.begin());
    }
    std::vector<std::pair<std::string_view, int>> order(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        order[i] = {std::string_view(texts[i]).substr(shared), static_cast<int>(i)};
    std::sort(order.begin(), order.end());
    std::vector<int64_t> ranks(texts.size());
    const int64_t step = ascending == 1 ? 1 : -1;
    int64_t rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && order[k - 1].first != order[k].first) rank += step;
        ranks[size_t(order[k].second)] = rank;
    }
    return ranks;
}

// The same for numbers; nothing when a key is not a number, as NaN has no place.
std::optional<std::vector<int64_t>> RanksOf(const std::vector<double>& keys, int ascending) {
    std::vector<std::pair<double, int>> order(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (std::isnan(keys[i])) return std::nullopt;
        order[i] = {keys[i], static_cast<int>(i)};
    }
    std::sort(order.begin(), order.end());
    std::vector<int64_t> ranks(keys.size());
    const int64_t step = ascending == 1 ? 1 : -1;
    int64_t rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && order[k - 1].first != order[k].first) rank += step;
        ranks[size_t(order[k].second)] = rank;
    }
    return ranks;
}

// Ids for every list at once, so a batch made on a worker names its entries there: a million
// nodes are never walked on the window's thread to be named.
std::atomic<uint64_t> lastGivenId{0};

uint64_t NextId() { return ++lastGivenId; }

}  // namespace

MediaEntryLists::MediaEntryLists() = default;

uint64_t MediaEntryLists::LastId() { return lastGivenId.load(); }
MediaEntryLists::~MediaEntryLists() = default;

void MediaEntryLists::SetOwnerMode(int32_t ownerMode) {
    ownerMode_ = ownerMode == kWizardMode ? kWizardMode : kPlaylistMode;
    if (ownerMode_ == kWizardMode) currentRow_ = -1;
}

std::vector<MediaEntry> MediaEntryLists::Snapshot() const {
    std::vector<MediaEntry> entries;
    entries.reserve(view_.size());
    for (const Node* node : view_) entries.push_back(node->entry);
    return entries;
}

std::string_view MediaEntryLists::FileName(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string MediaEntryLists::ColumnText(int row, int column) const {
    if (row < 0 || row >= Count()) return {};
    const Node& node = *view_[static_cast<size_t>(row)];
    switch (column) {
        case 0:
            return std::string(FileName(node.entry.path));
        case 1:
            // A playlist row leaves an untouched start blank; the wizard shows every range.
            if (ownerMode_ == kPlaylistMode && node.entry.begin == 0.0 && !node.beginShown) {
                return std::string(8, ' ');
            }
            return FormatTime(node.entry.begin);
        case 2:
            return FormatTime(node.entry.end);
        default:
            return {};
    }
}

int MediaEntryLists::AddEntry(int index, std::string path, double begin, double end) {
    if (filterActive_) return -1;
    const int row = (index < 0 || index > Count()) ? Count() : index;
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->RowsAboutToBeInserted(row, row);
    auto node = std::make_unique<Node>();
    node->entry = MediaEntry{std::move(path), begin, end};
    node->id = NextId();
    lastId_ = node->id;
    view_.insert(view_.begin() + row, node.get());
    master_.insert(master_.begin() + row, std::move(node));
    if (currentRow_ >= row) ShiftCurrent(+1);
    if (notify) observer_->RowsInserted();
    return row;
}

int MediaEntryLists::AddEntries(int index, std::vector<MediaEntry> entries) {
    if (filterActive_) return -1;
    const int row = (index < 0 || index > Count()) ? Count() : index;
    if (entries.empty()) return row;
    const int count = static_cast<int>(entries.size());
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->RowsAboutToBeInserted(row, row + count - 1);
    Batch batch(std::move(entries));
    std::vector<Node*> shown;
    shown.reserve(batch.nodes_.size());
    for (auto& node : batch.nodes_) shown.push_back(node.get());
    lastId_ = batch.nodes_.back()->id;
    view_.insert(view_.begin() + row, shown.begin(), shown.end());
    master_.insert(master_.begin() + row, std::make_move_iterator(batch.nodes_.begin()),
                   std::make_move_iterator(batch.nodes_.end()));
    if (currentRow_ >= row) ShiftCurrent(count);
    if (notify) observer_->RowsInserted();
    return row;
}

MediaEntryLists::Batch::Batch() = default;
MediaEntryLists::Batch::Batch(Batch&&) noexcept = default;
MediaEntryLists::Batch& MediaEntryLists::Batch::operator=(Batch&&) noexcept = default;
MediaEntryLists::Batch::~Batch() = default;

MediaEntryLists::Batch::Batch(std::vector<MediaEntry> entries) {
    nodes_.reserve(entries.size());
    for (MediaEntry& entry : entries) {
        auto node = std::make_unique<Node>();
        node->entry = std::move(entry);
        node->id = NextId();
        nodes_.push_back(std::move(node));
    }
}

MediaEntryLists::Batch MediaEntryLists::Adopt(Batch batch, uint64_t since) {
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->ViewAboutToBeReset();
    const Node* current = currentRow_ >= 0 ? view_[static_cast<size_t>(currentRow_)] : nullptr;
    Batch replaced;
    std::vector<std::unique_ptr<Node>> kept;
    // Only a list that took entries since is walked; the others are handed over whole.
    if (lastId_ > since) {
        for (auto& node : master_)
            (node->id > since ? kept : replaced.nodes_).push_back(std::move(node));
    } else {
        replaced.nodes_ = std::move(master_);
    }
    master_ = std::move(batch.nodes_);
    if (!master_.empty()) lastId_ = std::max(lastId_, master_.back()->id);
    master_.insert(master_.end(), std::make_move_iterator(kept.begin()),
                   std::make_move_iterator(kept.end()));
    filterActive_ = false;
    RebuildView();
    const auto at = current ? std::find(view_.begin(), view_.end(), current) : view_.end();
    SetCurrent(at != view_.end() ? static_cast<int32_t>(at - view_.begin()) : -1);
    if (notify) observer_->ViewReset();
    return replaced;
}

void MediaEntryLists::RemoveEntry(int row) { RemoveEntries({row}); }

void MediaEntryLists::RemoveEntries(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [&](int r) { return r < 0 || r >= Count(); }),
        rows.end());
    if (rows.empty()) return;
    const bool oneRun = rows.back() - rows.front() + 1 == static_cast<int>(rows.size());
    const bool notify = updateDepth_ == 0 && observer_;
    // Scattered rows are one rebuild for the view rather than a notice per run.
    if (notify) {
        if (oneRun) {
            observer_->RowsAboutToBeRemoved(rows.front(), rows.back());
        } else {
            observer_->ViewAboutToBeReset();
        }
    }
    RemoveSortedRows(rows);
    if (notify) {
        if (oneRun) {
            observer_->RowsRemoved();
        } else {
            observer_->ViewReset();
        }
    }
}

void MediaEntryLists::RemoveSortedRows(const std::vector<int>& ascendingRows) {
    std::unordered_set<const Node*> doomed;
    doomed.reserve(ascendingRows.size());
    for (int row : ascendingRows) doomed.insert(view_[static_cast<size_t>(row)]);

    if (currentRow_ >= 0) {
        if (std::binary_search(ascendingRows.begin(), ascendingRows.end(), currentRow_)) {
            SetCurrent(-1);
        } else {
            const auto above =
                std::lower_bound(ascendingRows.begin(), ascendingRows.end(), currentRow_) -
                ascendingRows.begin();
            ShiftCurrent(-static_cast<int32_t>(above));
        }
    }
    std::erase_if(view_, [&](const Node* node) { return doomed.count(node) != 0; });
    // While filtering, a removed row takes its master entry with it, so clearing the
    // filter does not bring it back.
    std::erase_if(master_,
                  [&](const std::unique_ptr<Node>& node) { return doomed.count(node.get()) != 0; });
}

void MediaEntryLists::ClearEntries() {
    ++clears_;
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->ViewAboutToBeReset();
    if (filterActive_) {
        std::vector<int> all(view_.size());
        for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
        RemoveSortedRows(all);
    } else {
        view_.clear();
        master_.clear();
    }
    SetCurrent(-1);
    if (notify) observer_->ViewReset();
}

void MediaEntryLists::SwapRows(int a, int b) {
    std::swap(view_[static_cast<size_t>(a)], view_[static_cast<size_t>(b)]);
    // Unfiltered, the view is the master order; filtered, only the references move.
    if (!filterActive_) std::swap(master_[static_cast<size_t>(a)], master_[static_cast<size_t>(b)]);
    if (currentRow_ == a) {
        SetCurrent(b);
    } else if (currentRow_ == b) {
        SetCurrent(a);
    }
}

void MediaEntryLists::SwapEntries(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= Count() || b >= Count()) return;
    SwapRows(a, b);
    NotifyChanged(a, a);
    NotifyChanged(b, b);
}

void MediaEntryLists::SetBegin(int row, double seconds) {
    if (row < 0 || row >= Count()) return;
    NodeAt(row).entry.begin = seconds;
    NodeAt(row).beginShown = true;
    NotifyChanged(row, row);
}

void MediaEntryLists::SetEnd(int row, double seconds) {
    if (row < 0 || row >= Count()) return;
    NodeAt(row).entry.end = seconds;
    NotifyChanged(row, row);
}

uint64_t MediaEntryLists::IdOf(int row) const {
    return row < 0 || row >= Count() ? 0 : view_[static_cast<size_t>(row)]->id;
}

int MediaEntryLists::RowOf(uint64_t id, int hint) const {
    if (hint >= 0 && hint < Count() && view_[static_cast<size_t>(hint)]->id == id) return hint;
    const auto shown =
        std::find_if(view_.begin(), view_.end(), [id](const Node* node) { return node->id == id; });
    return shown == view_.end() ? -1 : static_cast<int>(shown - view_.begin());
}

MediaEntryLists::Node* MediaEntryLists::Find(uint64_t id, int hint) const {
    const int row = RowOf(id, hint);
    if (row >= 0) return view_[static_cast<size_t>(row)];
    if (!filterActive_) return nullptr;
    const auto hidden = std::find_if(master_.begin(), master_.end(),
                                     [id](const auto& node) { return node->id == id; });
    return hidden == master_.end() ? nullptr : hidden->get();
}

bool MediaEntryLists::Pending(int row) const {
    return row >= 0 && row < Count() && view_[static_cast<size_t>(row)]->pending;
}

bool MediaEntryLists::MarkPending(int row) {
    if (row < 0 || row >= Count()) return false;
    Node& node = NodeAt(row);
    if (node.pending || node.entry.end != MediaEntry::kEndUnprobed) return false;
    node.pending = true;
    return true;
}

bool MediaEntryLists::SettlePending(uint64_t id, int hint, double seconds) {
    Node* node = Find(id, hint);
    if (!node || !node->pending) return false;
    node->pending = false;
    if (node->entry.end != MediaEntry::kEndUnprobed) return true;
    node->entry.end = seconds > 0.0 ? seconds : MediaEntry::kEndUnknown;
    const int row = RowOf(id, hint);
    if (row >= 0) NotifyChanged(row, row);
    return true;
}

void MediaEntryLists::UnmarkPending(uint64_t id, int hint) {
    if (Node* node = Find(id, hint)) node->pending = false;
}

void MediaEntryLists::SetCurrentRow(int row) {
    if (ownerMode_ != kPlaylistMode || row < -1 || row >= Count() || row == currentRow_) return;
    const int old = currentRow_;
    SetCurrent(row);
    if (old >= 0) NotifyChanged(old, old);
    if (row >= 0) NotifyChanged(row, row);
}

void MediaEntryLists::SetCurrent(int32_t row) {
    if (ownerMode_ != kPlaylistMode) return;
    currentRow_ = row;
    if (currentIndex_) *currentIndex_ = row;
}

void MediaEntryLists::ShiftCurrent(int32_t delta) {
    if (ownerMode_ != kPlaylistMode) return;
    currentRow_ += delta;
    if (currentIndex_) *currentIndex_ += delta;
}

void MediaEntryLists::ShowFiltered(const std::function<bool(const MediaEntry&)>& passes) {
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->ViewAboutToBeReset();
    filterActive_ = true;
    view_.clear();
    for (const auto& node : master_) {
        if (passes(node->entry)) view_.push_back(node.get());
    }
    SetCurrent(-1);
    if (notify) observer_->ViewReset();
}

void MediaEntryLists::ShowMaster() {
    if (!filterActive_) return;
    const bool notify = updateDepth_ == 0 && observer_;
    if (notify) observer_->ViewAboutToBeReset();
    filterActive_ = false;
    RebuildView();
    SetCurrent(-1);
    if (notify) observer_->ViewReset();
}

void MediaEntryLists::RebuildView() {
    view_.clear();
    view_.reserve(master_.size());
    for (const auto& node : master_) view_.push_back(node.get());
}

void MediaEntryLists::SortByRanks(std::vector<int64_t> ranks,
                                  const std::function<void(int, int)>& swapKeys) {
    RowQuickSortByKeys(ranks, [&](int i, int j) {
        SwapRows(i, j);
        if (swapKeys) swapKeys(i, j);
    });
    if (Count() > 1) NotifyChanged(0, Count() - 1);
}

void MediaEntryLists::SortByColumnText(int column, int ascending) {
    std::vector<std::string> texts(view_.size());
    for (int row = 0; row < Count(); ++row) {
        std::string text =
            column == 0 ? std::string(FileName(NodeAt(row).entry.path)) : ColumnText(row, column);
        if (text.size() > kCompareLimit) text.resize(kCompareLimit);
        texts[size_t(row)] = std::move(text);
    }
    SortByRanks(RanksOf(texts, ascending), {});
}

void MediaEntryLists::SortByStringKeys(std::vector<std::string>& keys, int ascending) {
    if (keysArePaths_) {
        std::vector<std::string> paths(view_.size());
        for (int row = 0; row < Count(); ++row) paths[size_t(row)] = Folded(NodeAt(row).entry.path);
        SortByRanks(RanksOf(paths, ascending), {});
        return;
    }
    if (static_cast<int>(keys.size()) != Count()) return;
    std::vector<std::string> folded(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) folded[i] = Folded(keys[i]);
    SortByRanks(RanksOf(folded, ascending),
                [&](int i, int j) { std::swap(keys[size_t(i)], keys[size_t(j)]); });
}

void MediaEntryLists::SortByNumberKeys(std::vector<double>& keys, int ascending) {
    if (static_cast<int>(keys.size()) != Count()) return;
    auto swapKeys = [&](int i, int j) { std::swap(keys[size_t(i)], keys[size_t(j)]); };
    if (auto ranks = RanksOf(keys, ascending)) {
        SortByRanks(std::move(*ranks), swapKeys);
        return;
    }
    const int direction = ascending == 1 ? 1 : -1;
    RowQuickSort(
        Count(),
        [&](int i, int j) {
            const double x = keys[size_t(i)];
            const double y = keys[size_t(j)];
            return direction * (x < y ? -1 : (x > y ? 1 : 0));
        },
        [&](int i, int j) {
            SwapRows(i, j);
            swapKeys(i, j);
        });
    if (Count() > 1) NotifyChanged(0, Count() - 1);
}

void MediaEntryLists::BeginUpdate() {
    if (updateDepth_++ == 0 && observer_) observer_->ViewAboutToBeReset();
}

void MediaEntryLists::EndUpdate() {
    if (updateDepth_ == 0) return;
    if (--updateDepth_ == 0 && observer_) observer_->ViewReset();
}

void MediaEntryLists::NotifyChanged(int first, int last) {
    if (updateDepth_ == 0 && observer_) observer_->RowsChanged(first, last);
}
