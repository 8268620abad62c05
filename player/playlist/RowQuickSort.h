#pragma once

// The list's one sort: a non-recursive quicksort over row indices 0..n-1 with a selection
// pass for ranges of up to 8 rows. It only compares and swaps by index, so rows, entries,
// the now-playing mark and any key list move in the caller's swap together. Not stable:
// equal keys end in the order the partitions leave them, and the order is part of what a
// user sees, so the procedure is kept step for step.
//
// With many equal keys the partition's two scans walk most of a range every time. When the
// keys are integers (ranks), RowQuickSortByKeys answers such scans from a min/max tree
// instead: the same rows are found, so the same swaps are made, only sooner.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace rowsort {

// The partition's two scans as the procedure walks them, one compare per step.
template <class Compare>
struct LinearScans {
    Compare& compare;
    // The first row in from..hi that sorts after the pivot at lo, else hi + 1.
    int FirstAfter(int from, int hi, int lo) {
        while (from <= hi && compare(from, lo) <= 0) ++from;
        return from;
    }
    // The last row in lo + 1..from that sorts before the pivot at lo, else lo.
    int LastBefore(int from, int lo) {
        while (from > lo && compare(from, lo) >= 0) --from;
        return from;
    }
    void Swapped(int, int) {}
};

// The procedure itself; scans.FirstAfter/LastBefore stand for its scans (a) and (b).
template <class Compare, class Scans, class Swap>
void QuickSort(int n, Compare& compare, Scans& scans, Swap& swap) {
    if (n < 2) return;
    auto exchange = [&](int i, int j) {
        if (i == j) return;
        swap(i, j);
        scans.Swapped(i, j);
    };
    std::vector<std::pair<int, int>> pending;
    int lo = 0;
    int hi = n - 1;
    for (;;) {
        const int size = hi - lo + 1;
        bool descend = false;
        if (size <= 8) {
            for (int last = hi; last > lo; --last) {
                int largest = lo;
                for (int i = lo + 1; i <= last; ++i) {
                    if (compare(i, largest) > 0) largest = i;
                }
                exchange(largest, last);
            }
        } else {
            exchange(lo + size / 2, lo);  // the middle element is the pivot, kept at lo
            int l = lo;
            int h = hi + 1;
            for (;;) {
                l = scans.FirstAfter(l + 1, hi, lo);
                h = scans.LastBefore(h - 1, lo);
                if (h < l) break;
                exchange(l, h);
            }
            exchange(lo, h);
            // Continue with the smaller side, keep the larger one pending.
            if (h - 1 - lo < hi - l) {
                if (l < hi) pending.emplace_back(l, hi);
                if (lo + 1 < h) {
                    hi = h - 1;
                    descend = true;
                }
            } else {
                if (lo + 1 < h) pending.emplace_back(lo, h - 1);
                if (l < hi) {
                    lo = l;
                    descend = true;
                }
            }
        }
        if (descend) continue;
        if (pending.empty()) return;
        lo = pending.back().first;
        hi = pending.back().second;
        pending.pop_back();
    }
}

// Smallest and largest key of every power-of-two block of rows, kept up to date through
// the swaps, so "the next row with a key above x" costs a walk down the tree.
class MinMaxTree {
public:
    explicit MinMaxTree(const std::vector<int64_t>& keys) {
        while (leaves_ < keys.size()) leaves_ *= 2;
        min_.assign(2 * leaves_, INT64_MAX);
        max_.assign(2 * leaves_, INT64_MIN);
        for (size_t i = 0; i < keys.size(); ++i) min_[leaves_ + i] = max_[leaves_ + i] = keys[i];
        for (size_t node = leaves_ - 1; node >= 1; --node) Pull(node);
    }
    void Set(int row, int64_t key) {
        size_t node = leaves_ + size_t(row);
        min_[node] = max_[node] = key;
        for (node /= 2; node >= 1; node /= 2) Pull(node);
    }
    // The first row in a..b whose key is above x, else b + 1.
    int FirstAbove(int a, int b, int64_t x) const {
        const int found = FirstAbove(1, 0, int(leaves_) - 1, a, b, x);
        return found < 0 ? b + 1 : found;
    }
    // The last row in a..b whose key is below x, else a - 1.
    int LastBelow(int a, int b, int64_t x) const {
        const int found = LastBelow(1, 0, int(leaves_) - 1, a, b, x);
        return found < 0 ? a - 1 : found;
    }

private:
    void Pull(size_t node) {
        min_[node] = std::min(min_[2 * node], min_[2 * node + 1]);
        max_[node] = std::max(max_[2 * node], max_[2 * node + 1]);
    }
    int FirstAbove(size_t node, int nl, int nr, int a, int b, int64_t x) const {
        if (nr < a || nl > b || max_[node] <= x) return -1;
        if (nl == nr) return nl;
        const int mid = nl + (nr - nl) / 2;
        const int left = FirstAbove(2 * node, nl, mid, a, b, x);
        return left >= 0 ? left : FirstAbove(2 * node + 1, mid + 1, nr, a, b, x);
    }
    int LastBelow(size_t node, int nl, int nr, int a, int b, int64_t x) const {
        if (nr < a || nl > b || min_[node] >= x) return -1;
        if (nl == nr) return nl;
        const int mid = nl + (nr - nl) / 2;
        const int right = LastBelow(2 * node + 1, mid + 1, nr, a, b, x);
        return right >= 0 ? right : LastBelow(2 * node, nl, mid, a, b, x);
    }

    size_t leaves_ = 1;
    std::vector<int64_t> min_;
    std::vector<int64_t> max_;
};

// Scans over integer keys. Scans walk; only when the walking past kWalk steps has cost more
// than a whole sort of distinct keys would (so ties are what keeps the scans going) is the
// tree built, and from then on a scan that runs past kWalk asks the tree. Distinct keys thus
// never pay for keeping the tree up to date through their swaps.
struct KeyScans {
    static constexpr int kWalk = 16;
    std::vector<int64_t>& keys;
    int64_t budget = 0;  // steps past kWalk that may still be walked before the tree is built
    std::optional<MinMaxTree> tree;

    int FirstAfter(int from, int hi, int lo) {
        const int64_t pivot = keys[size_t(lo)];
        for (int walked = 0; from <= hi && keys[size_t(from)] <= pivot; ++from, ++walked) {
            if (walked >= kWalk && UseTree()) return tree->FirstAbove(from, hi, pivot);
        }
        return from;
    }
    int LastBefore(int from, int lo) {
        const int64_t pivot = keys[size_t(lo)];
        for (int walked = 0; from > lo && keys[size_t(from)] >= pivot; --from, ++walked) {
            if (walked >= kWalk && UseTree()) return tree->LastBelow(lo + 1, from, pivot);
        }
        return from;
    }
    void Swapped(int i, int j) {
        std::swap(keys[size_t(i)], keys[size_t(j)]);
        if (!tree) return;
        tree->Set(i, keys[size_t(i)]);
        tree->Set(j, keys[size_t(j)]);
    }
    bool UseTree() {
        if (!tree && --budget < 0) tree.emplace(keys);
        return tree.has_value();
    }
};

}  // namespace rowsort

// compare(i, j) < 0, 0, > 0 as row i sorts before, with, after row j; swap(i, j) is only
// called with i != j.
template <class Compare, class Swap>
void RowQuickSort(int n, Compare compare, Swap swap) {
    rowsort::LinearScans<Compare> scans{compare};
    rowsort::QuickSort(n, compare, scans, swap);
}

// The same sort where row i's key is keys[i] and a smaller key sorts first. The keys move
// with the rows (after the sort they are in row order); swap(i, j) moves everything else.
template <class Swap>
void RowQuickSortByKeys(std::vector<int64_t>& keys, Swap swap) {
    auto compare = [&](int i, int j) {
        const int64_t x = keys[size_t(i)];
        const int64_t y = keys[size_t(j)];
        return (x > y) - (x < y);
    };
    const int64_t n = static_cast<int64_t>(keys.size());
    int64_t log2n = 1;
    while ((int64_t{1} << log2n) < n) ++log2n;
    rowsort::KeyScans scans{keys, 2 * n * log2n, std::nullopt};
    rowsort::QuickSort(static_cast<int>(keys.size()), compare, scans, swap);
}
