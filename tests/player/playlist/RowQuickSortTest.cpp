// The list's quicksort decides where tied rows end up, so its two paths are pinned. (Random
// inputs of every size are sorted through the list control's tests.)

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "player/playlist/RowQuickSort.h"

namespace {

// Sorts the values and records every swap.
struct Traced {
    std::vector<int> values;
    std::vector<std::pair<int, int>> swaps;

    void Sort() {
        RowQuickSort(
            static_cast<int>(values.size()),
            [&](int i, int j) {
                return (values[size_t(i)] > values[size_t(j)]) -
                       (values[size_t(i)] < values[size_t(j)]);
            },
            [&](int i, int j) {
                swaps.emplace_back(i, j);
                std::swap(values[size_t(i)], values[size_t(j)]);
            });
    }
};

TEST(RowQuickSort, EightRowsUseTheSelectionPassAndNineThePartition) {
    // Eight: the largest goes to the end first.
    Traced eight{{5, 1, 7, 3, 8, 2, 6, 4}};
    eight.Sort();
    ASSERT_FALSE(eight.swaps.empty());
    EXPECT_EQ(eight.swaps.front(), std::make_pair(4, 7));
    EXPECT_EQ(eight.values, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));

    // Nine: the middle row becomes the pivot at the front.
    Traced nine{{5, 1, 7, 3, 9, 2, 6, 4, 8}};
    nine.Sort();
    ASSERT_FALSE(nine.swaps.empty());
    EXPECT_EQ(nine.swaps.front(), std::make_pair(4, 0));
    EXPECT_EQ(nine.values, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(RowQuickSort, TiesStayWhereThePartitionLeavesThem) {
    // Rows compared by their first value only: the second records where each came from.
    std::vector<std::pair<int, char>> rows = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}, {2, 'e'},
                                              {1, 'f'}, {2, 'g'}, {1, 'h'}, {2, 'i'}};
    RowQuickSort(
        static_cast<int>(rows.size()),
        [&](int i, int j) {
            return (rows[size_t(i)].first > rows[size_t(j)].first) -
                   (rows[size_t(i)].first < rows[size_t(j)].first);
        },
        [&](int i, int j) { std::swap(rows[size_t(i)], rows[size_t(j)]); });
    std::string order;
    for (const auto& row : rows) order += row.second;
    // Worked by hand: pivot e goes to the front, the partition ends at row 7 (h), and the
    // rows 0..6 are left to the selection pass, which moves a later tie over an earlier one.
    EXPECT_EQ(order, "bfdhagcei");
}

}  // namespace
