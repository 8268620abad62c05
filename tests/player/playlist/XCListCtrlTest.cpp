// The list control with a fake owner: rows always show their entries, the bold row is the
// playing entry, and mouse, wheel, keys and drops change entries and rows together.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QMimeData>
#include <QUrl>
#include <QtEvents>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/FormatTime.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/QtApp.h"

namespace {

class FakeOwner : public IListCtrlOwner {
public:
    PlayerSettings settings{};
    double position = 0.0;
    int probes = 0, fills = 0, menus = 0;
    std::vector<int> played;  // the current index at each play

    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override { ++probes; }
    void FillTimeFields() override { ++fills; }
    void UpdateJobButtons() override {}
    void PlaySelected() override { played.push_back(settings.currentIndex); }
    double PlaybackPosition() override { return position; }
    void ShowListMenu(const QPoint&) override { ++menus; }
    void ResetHoverCaption() override {}
};

// What a row must show for an entry whose begin was never set.
std::string ExpectedText(const MediaEntry& entry, int column) {
    if (column == 0) return entry.path.substr(entry.path.rfind('/') + 1);
    if (column == 1) return entry.begin == 0.0 ? std::string(8, ' ') : FormatTime(entry.begin);
    return FormatTime(entry.end);
}

class ListTest : public ::testing::Test {
public:
    FakeOwner owner_;
    XCListCtrl list_;
    MediaEntryLists& entries_ = list_.Entries();

    void SetUp() override { Make(kPlaylistMode); }
    void Make(int32_t mode) {
        list_.SetOwner(mode, &owner_);
        list_.SetListFont(-12, 0, 0, 0, 0, "Arial");
        list_.resize(320, 200);
        for (int column : {0, 1, 2}) list_.setColumnWidth(column, column ? 80 : 140);
        list_.show();
        qttest::Pump(0);
    }
    void Fill(const std::vector<std::string>& names) {
        entries_.ClearEntries();
        for (const std::string& name : names)
            entries_.AddEntry(entries_.Count(), "/m/" + name, 0, -1);
        list_.ScrollLimit();  // lays the rows out
    }
    std::string Text(int row, int column) {
        return list_.ItemModel().index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int row = 0; row < entries_.Count(); ++row) names.push_back(Text(row, 0));
        return names;
    }
    // The first row whose texts differ from its entry's, or "".
    std::string Mismatch() {
        const std::vector<MediaEntry> all = entries_.Snapshot();
        for (int row = 0; row < int(all.size()); ++row)
            for (int column = 0; column < 3; ++column)
                if (Text(row, column) != ExpectedText(all[size_t(row)], column))
                    return "row " + std::to_string(row) + " column " + std::to_string(column);
        return "";
    }
    // The bold row, or -2 unless exactly one row is bold and the model and settings agree.
    int Playing() {
        std::vector<int> bold;
        for (int row = 0; row < entries_.Count(); ++row) {
            const QFont font = list_.ItemModel().index(row, 0).data(Qt::FontRole).value<QFont>();
            if (font.weight() > QFont::Normal) bold.push_back(row);
        }
        const bool one = bold.size() == 1;
        return one && bold[0] == entries_.CurrentRow() && bold[0] == owner_.settings.currentIndex
                   ? bold[0]
                   : -2;
    }
    QPoint Cell(int row, int column) {
        return list_.visualRect(list_.ItemModel().index(row, column)).center();
    }
    QPoint BelowRows() { return QPoint(20, list_.viewport()->height() - 5); }
    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton b = Qt::LeftButton) {
        const bool move = type == QEvent::MouseMove, release = type == QEvent::MouseButtonRelease;
        QMouseEvent event(type, pos, list_.viewport()->mapToGlobal(pos), move ? Qt::NoButton : b,
                          release ? Qt::NoButton : Qt::MouseButtons(b), Qt::NoModifier);
        QApplication::sendEvent(list_.viewport(), &event);
    }
    void RightClick(QPoint pos) {
        Mouse(QEvent::MouseButtonPress, pos, Qt::RightButton);
        Mouse(QEvent::MouseButtonRelease, pos, Qt::RightButton);
    }
    void Select(const std::vector<int>& rows) {
        list_.selectionModel()->clearSelection();
        for (int row : rows)
            list_.selectionModel()->select(list_.ItemModel().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    bool Drop(QPoint pos, const std::vector<std::string>& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
        mime.setUrls(urls);
        // Qt hands a drop only to the widget that accepted the drag's entry.
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list_.viewport(), &enter);
        QDropEvent event(pos, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list_.viewport(), &event);
        EXPECT_EQ(enter.isAccepted(), event.isAccepted());
        return event.isAccepted();
    }
};

std::string Lower(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    return text;
}
std::string Extension(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? "   " : path.substr(dot + 1);
}
double Length(const MediaEntry& e) { return (e.end < 0 ? 3.6e9 : e.end) - e.begin; }
template <class T>
int Order(const T& x, const T& y) {
    return (x > y) - (x < y);
}

// Sort kinds: 0-2 the column texts, 3 type, 4 directory, 5 duration.
void SortBy(MediaEntryLists& lists, int kind, int up) {
    std::vector<std::string> types, none;
    std::vector<double> lengths;
    for (const MediaEntry& e : lists.Snapshot()) {
        types.push_back(Extension(e.path));
        lengths.push_back(Length(e));
    }
    lists.SetKeysArePaths(kind == 4);
    if (kind < 3) lists.SortByColumnText(kind, up);
    if (kind == 3 || kind == 4) lists.SortByStringKeys(kind == 3 ? types : none, up);
    if (kind == 5) lists.SortByNumberKeys(lengths, up);
    lists.SetKeysArePaths(false);
}
// The same keys, computed independently.
int KeyOrder(int kind, const MediaEntry& x, const MediaEntry& y) {
    if (kind < 3) return Order(ExpectedText(x, kind), ExpectedText(y, kind));
    if (kind == 3) return Order(Lower(Extension(x.path)), Lower(Extension(y.path)));
    if (kind == 4) return Order(Lower(x.path), Lower(y.path));
    return Order(Length(x), Length(y));
}

TEST_F(ListTest, AfterEverySortTheRowsShowTheirEntriesAndTheBoldRowIsThePlayingEntry) {
    const char* const names[] = {"b", "A", "c", "a", "B"};
    const char* const extensions[] = {"avi", "MP3", "ogg", "Avi"};
    std::mt19937 random(3);
    for (int n : {2, 8, 9, 40, 300}) {  // the selection pass alone, and the partition
        for (int kind = 0; kind < 6; ++kind) {
            for (int up : {1, 0}) {
                const std::string where = "kind " + std::to_string(kind) +
                                          " n=" + std::to_string(n) + " up=" + std::to_string(up);
                entries_.ClearEntries();
                for (int i = 0; i < n; ++i) {
                    // Plenty of ties; the folder number keeps every path unique.
                    const std::string path = "/m/" + std::to_string(i) + "/" + names[random() % 5] +
                                             std::to_string(random() % 3) + "." +
                                             extensions[random() % 4];
                    const double begin = (random() % 3 == 0) ? 0.0 : double(random() % 90);
                    const double end = (random() % 4 == 0) ? -1.0 : double(random() % 4000);
                    entries_.AddEntry(i, path, begin, end);
                }
                list_.SetCurrentItem(int(random() % unsigned(n)));
                const MediaEntry playing = entries_.Entry(entries_.CurrentRow());
                const std::vector<MediaEntry> before = entries_.Snapshot();
                SortBy(entries_, kind, up);
                const std::vector<MediaEntry> after = entries_.Snapshot();
                ASSERT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()))
                    << where;
                ASSERT_EQ(Mismatch(), "") << where;
                for (int row = 1; row < n; ++row) {
                    const int order = KeyOrder(kind, after[size_t(row - 1)], after[size_t(row)]);
                    ASSERT_TRUE(up ? order <= 0 : order >= 0) << where << " row " << row;
                }
                const int row = Playing();
                ASSERT_GE(row, 0) << where;
                ASSERT_EQ(after[size_t(row)], playing) << where;
            }
        }
    }
}

const std::vector<std::string> kFive = {"P", "Q", "R", "S", "T"};

TEST_F(ListTest, DraggingANonContiguousSelectionMovesTheBlockWithItsEntriesAndSelection) {
    Fill(kFive);  // every case starts from this layout
    std::vector<QPoint> farBelow, aboveList;
    for (int i = 0; i < 5; ++i) {
        farBelow.push_back(Cell(4, 0) + QPoint(0, 60 + i));
        aboveList.push_back(QPoint(10, -20 - i));
    }
    const std::vector<std::string> down = {"P", "R", "Q", "T", "S"}, up = {"Q", "P", "S", "R", "T"};
    const struct {
        const char* what;
        int pressRow;
        std::vector<QPoint> path;
        std::vector<std::string> expected;
        std::vector<int> selected;
        int playingRow;  // Q plays
    } cases[] = {
        {"one row down", 1, {Cell(2, 0)}, down, {2, 4}, 2},
        {"one row up", 3, {Cell(2, 0)}, up, {0, 2}, 0},
        {"far below: stops at the last row", 1, farBelow, down, {2, 4}, 2},
        {"above the list: stops at the first row", 3, aboveList, up, {0, 2}, 0},
        {"down and back to the pressed row", 1, {Cell(2, 0), Cell(1, 0)}, kFive, {1, 3}, 1},
    };
    for (const auto& c : cases) {
        Fill(kFive);
        list_.SetCurrentItem(1);
        Select({1, 3});
        Mouse(QEvent::MouseButtonPress, Cell(c.pressRow, 0));
        ASSERT_EQ(list_.SelectedRows(), (std::vector<int>{1, 3})) << c.what << ": press";
        for (const QPoint& point : c.path) {
            Mouse(QEvent::MouseMove, point);
            EXPECT_EQ(Mismatch(), "") << c.what;  // rows and entries agree at every step
        }
        Mouse(QEvent::MouseButtonRelease, c.path.back());
        EXPECT_EQ(Names(), c.expected) << c.what;
        EXPECT_EQ(list_.SelectedRows(), c.selected) << c.what;
        EXPECT_EQ(Playing(), c.playingRow) << c.what;
        EXPECT_EQ(entries_.Entry(c.playingRow).path, "/m/Q") << c.what;
    }
}

TEST_F(ListTest, DroppedFilesGoInOrderAtTheRowUnderThePointerAndNotWhileFiltered) {
    Fill(kFive);
    list_.SetCurrentItem(3);  // S
    const std::string longPath = "/deep/" + std::string(6000, 'x') + "/long name.avi";
    ASSERT_TRUE(Drop(Cell(2, 0), {"/d/one.avi", "/d/two.mp3", longPath}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q", "one.avi", "two.mp3", "long name.avi",
                                                 "R", "S", "T"}));
    EXPECT_EQ(entries_.Entry(4).path, longPath);  // kept whole
    EXPECT_EQ(Mismatch(), "");
    for (int row : {2, 3, 4}) EXPECT_EQ(entries_.Entry(row).end, -1.0);  // to be probed
    EXPECT_EQ(Playing(), 6);
    EXPECT_GE(owner_.probes, 1);

    Fill({"P", "Q"});  // below the last row: at the top
    ASSERT_TRUE(Drop(BelowRows(), {"/d/x", "/d/y", "/d/z"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"x", "y", "z", "P", "Q"}));

    entries_.ShowFiltered([](const MediaEntry&) { return true; });
    EXPECT_FALSE(Drop(Cell(0, 0), {"/d/refused"}));
    entries_.ShowMaster();
    EXPECT_EQ(entries_.Count(), 5);
}

TEST_F(ListTest, RightClicksOnThePlayingRowsBeginOrEndSetTheRangeDoubleClicksResetIt) {
    const struct {
        const char* what;
        int row, column;  // row 1 plays
        double position, begin, end, expectedBegin, expectedEnd;
        double expectedRangeEnd;  // rangeEnd starts at 7
        int menus;
    } cases[] = {
        {"begin before the end", 1, 1, 50, 10, 100, 50, 100, 7, 0},
        {"begin past the end", 1, 1, 50, 10, 40, 50, 50, 7, 0},
        {"begin with no length yet", 1, 1, 50, 0, -1, 50, 50, 7, 0},
        {"begin with no length found", 1, 1, 50, 0, -2, 50, 50, 7, 0},
        {"end after the begin", 1, 2, 50, 10, 100, 10, 50, 50, 0},
        {"end before the begin", 1, 2, 50, 60, 100, 50, 50, 50, 0},
        {"name cell: the menu", 1, 0, 50, 10, 100, 10, 100, 7, 1},
        {"another row", 0, 1, 50, 10, 100, 10, 100, 7, 0},
        {"nothing open", 1, 1, -1, 10, 100, 10, 100, 7, 0},
    };
    for (const auto& c : cases) {
        Fill({"a", "b", "c"});
        entries_.SetBegin(c.row, c.begin);
        entries_.SetEnd(c.row, c.end);
        list_.SetCurrentItem(1);
        owner_.settings.rangeEnd = 7;
        owner_.position = c.position;
        owner_.menus = 0;
        RightClick(Cell(c.row, c.column));
        const MediaEntry& e = entries_.Entry(c.row);
        EXPECT_EQ(std::pair(e.begin, e.end), std::pair(c.expectedBegin, c.expectedEnd)) << c.what;
        EXPECT_EQ(owner_.settings.rangeEnd, c.expectedRangeEnd) << c.what;
        EXPECT_EQ(owner_.menus, c.menus) << c.what;
        EXPECT_EQ(Mismatch(), "") << c.what;
    }
    owner_.menus = 0;
    Mouse(QEvent::MouseButtonPress, BelowRows(), Qt::RightButton);
    EXPECT_EQ(owner_.menus, 1);

    // A right double-click resets the begin or the end.
    owner_.menus = 0;
    Fill({"a", "b"});
    list_.SetCurrentItem(0);
    entries_.SetBegin(0, 30);
    entries_.SetEnd(0, 90);
    owner_.settings.rangeEnd = 90;
    Mouse(QEvent::MouseButtonDblClick, Cell(0, 1), Qt::RightButton);
    EXPECT_EQ(entries_.Entry(0).begin, 0.0);
    EXPECT_EQ(Text(0, 1), "00:00:00");
    EXPECT_EQ(entries_.Entry(0).end, 90.0);

    const int probes = owner_.probes;
    Mouse(QEvent::MouseButtonDblClick, Cell(0, 2), Qt::RightButton);
    EXPECT_EQ(entries_.Entry(0).end, -1.0);  // probed again
    EXPECT_GT(owner_.probes, probes);
    EXPECT_EQ(owner_.settings.rangeEnd, -1.0);
    EXPECT_EQ(owner_.menus, 0);

    entries_.SetBegin(1, 30);  // not the playing row: nothing
    Mouse(QEvent::MouseButtonDblClick, Cell(1, 1), Qt::RightButton);
    EXPECT_EQ(entries_.Entry(1).begin, 30.0);

    // The wizard sets no range, takes no drops and opens its menu over a row.
    owner_.menus = owner_.probes = owner_.fills = 0;
    Make(kWizardMode);
    Fill({"a"});
    entries_.SetBegin(0, 5);
    owner_.position = 50;
    RightClick(Cell(0, 1));
    EXPECT_EQ(entries_.Entry(0).begin, 5.0);
    EXPECT_EQ(owner_.menus, 1);
    EXPECT_GE(owner_.fills, 1);
    EXPECT_EQ(owner_.probes, 0);
    EXPECT_FALSE(Drop(Cell(0, 0), {"/d/x"}));
    EXPECT_EQ(entries_.Count(), 1);
}

TEST_F(ListTest, DoubleClickPlaysSetCurrentItemIgnoresStrayRowsAndDeleteKeepsThePlayingEntry) {
    Fill({"a", "b", "c"});
    Mouse(QEvent::MouseButtonDblClick, Cell(2, 0));
    EXPECT_EQ(owner_.played, std::vector<int>{2});
    list_.SetCurrentItem(0);
    list_.SetCurrentItem(3);
    list_.SetCurrentItem(-1);
    EXPECT_EQ(Playing(), 0);

    // Delete removes the selected rows; the playing row follows its entry.
    Fill(kFive);
    list_.SetCurrentItem(4);  // T
    Select({1, 3});
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&list_, &del);
    EXPECT_EQ(Names(), (std::vector<std::string>{"P", "R", "T"}));
    EXPECT_EQ(Playing(), 2);
    list_.selectionModel()->clearSelection();
    QApplication::sendEvent(&list_, &del);  // nothing selected: nothing removed
    EXPECT_EQ(entries_.Count(), 3);
}

TEST_F(ListTest, TheWheelScrollsOneLinePerNotchAndAddsUpSmallerDeltas) {
    Fill(std::vector<std::string>(60, "x"));
    ASSERT_GT(list_.ScrollLimit(), 20);
    list_.SetScrollPos(10);
    list_.EnsureTopIndex();
    ASSERT_EQ(list_.TopIndex(), 10);
    // Two notches, the rest of a notch adding up, a touchpad's half notches, turning back.
    const int steps[][2] = {{240, 8}, {-119, 8}, {-1, 9},  {60, 9},
                            {60, 8},  {90, 8},   {-60, 8}, {-60, 9}};
    const QPoint pos = list_.viewport()->rect().center();
    for (const auto& [delta, top] : steps) {
        QWheelEvent event(pos, list_.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list_.viewport(), &event);
        EXPECT_EQ(list_.TopIndex(), top) << delta;
        EXPECT_EQ(list_.ScrollPos(), top) << delta;
    }
}

}  // namespace
