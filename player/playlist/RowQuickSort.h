#pragma once

// The list's one sort: a non-recursive quicksort over row indices 0..n-1 with a selection
// pass for ranges of up to 8 rows. It only compares and swaps by index, so rows, entries,
// the now-playing mark and any key list move in the caller's swap together. Not stable:
// equal keys end in the order the partitions leave them, and the order is part of what a
// user sees, so the procedure is kept step for step.

#include <utility>
#include <vector>

// compare(i, j) < 0, 0, > 0 as row i sorts before, with, after row j; swap(i, j) is only
// called with i != j.
template <class Compare, class Swap>
void RowQuickSort(int n, Compare compare, Swap swap) {
    if (n < 2) return;
    auto exchange = [&](int i, int j) {
        if (i != j) swap(i, j);
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
                do {
                    ++l;
                } while (l <= hi && compare(l, lo) <= 0);
                do {
                    --h;
                } while (h > lo && compare(h, lo) >= 0);
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
