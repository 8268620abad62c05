// The list control on its own, with a fake owner: rows always show their entries, the
// bold row is the playing entry, and the mouse, wheel, keys and drops change entries and
// rows together.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QFont>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/FormatTime.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/XCListCtrl.h"
#include "player/shell/PlayerSettings.h"
#include "support/QtApp.h"

namespace {

class FakeOwner : public IListCtrlOwner {
public:
    PlayerSettings settings{};
    double position = 0.0;
    int probes = 0;
    int fills = 0;
    int jobButtons = 0;
    int plays = 0;
    int playedIndex = -99;
    int menus = 0;

    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override { ++probes; }
    void FillTimeFields() override { ++fills; }
    void UpdateJobButtons() override { ++jobButtons; }
    void PlaySelected() override {
        ++plays;
        playedIndex = settings.currentIndex;
    }
    double PlaybackPosition() override { return position; }
    void ShowListMenu(const QPoint&) override { ++menus; }
    void ResetHoverCaption() override {}
};

class ListTest : public ::testing::Test {
public:
    FakeOwner owner_;
    XCListCtrl list_;

    void SetUp() override { Make(kPlaylistMode); }

    void Make(int32_t mode) {
        list_.SetOwner(mode, &owner_);
        list_.SetListFont(-12, 0, 0, 0, 0, "Arial");
        list_.resize(320, 200);
        list_.setColumnWidth(0, 140);
        list_.setColumnWidth(1, 80);
        list_.setColumnWidth(2, 80);
        list_.show();
        qttest::Pump(0);
    }

    void Fill(const std::vector<std::string>& names) {
        for (const std::string& name : names)
            list_.Entries().AddEntry(list_.Entries().Count(), "/m/" + name, 0.0, -1.0);
        list_.ScrollLimit();  // lays the rows out
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int row = 0; row < list_.Entries().Count(); ++row) {
            names.push_back(list_.ItemModel().index(row, 0).data().toString().toStdString());
        }
        return names;
    }

    QPoint Cell(int row, int column) {
        return list_.visualRect(list_.ItemModel().index(row, column)).center();
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, pos, list_.viewport()->mapToGlobal(pos), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(list_.viewport(), &event);
    }
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonPress, pos, button, button);
    }
    void Release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void DragTo(QPoint pos) { Mouse(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton); }
    void RightClick(int row, int column) {
        Press(Cell(row, column), Qt::RightButton);
        Release(Cell(row, column), Qt::RightButton);
    }

    void Select(const std::vector<int>& rows) {
        list_.selectionModel()->clearSelection();
        for (int row : rows) {
            list_.selectionModel()->select(list_.ItemModel().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    int BoldRow() {
        int bold = -1;
        for (int row = 0; row < list_.Entries().Count(); ++row) {
            const QVariant font = list_.ItemModel().index(row, 0).data(Qt::FontRole);
            if (font.isValid() && font.value<QFont>().weight() > QFont::Normal) {
                EXPECT_EQ(bold, -1) << "two bold rows";
                bold = row;
            }
        }
        return bold;
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

    void Wheel(int delta) {
        const QPoint pos = list_.viewport()->rect().center();
        QWheelEvent event(pos, list_.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list_.viewport(), &event);
    }
};

// Sorts ------------------------------------------------------------------------------------

std::string ExpectedText(const MediaEntry& entry, int column) {
    if (column == 0) return entry.path.substr(entry.path.rfind('/') + 1);
    if (column == 1) return entry.begin == 0.0 ? std::string(8, ' ') : FormatTime(entry.begin);
    return FormatTime(entry.end);
}

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

TEST_F(ListTest, AfterEverySortTheRowsShowTheirEntriesAndTheBoldRowIsThePlayingEntry) {
    using Entries = std::vector<MediaEntry>;
    const struct {
        const char* name;
        std::function<void(MediaEntryLists&, const Entries&, int)> sort;
        std::function<int(const MediaEntry&, const MediaEntry&)> order;  // the key, independently
    } kinds[] = {
        {"name", [](MediaEntryLists& l, const Entries&, int up) { l.SortByColumnText(0, up); },
         [](auto& x, auto& y) { return Order(ExpectedText(x, 0), ExpectedText(y, 0)); }},
        {"begin text",
         [](MediaEntryLists& l, const Entries&, int up) { l.SortByColumnText(1, up); },
         [](auto& x, auto& y) { return Order(ExpectedText(x, 1), ExpectedText(y, 1)); }},
        {"end text", [](MediaEntryLists& l, const Entries&, int up) { l.SortByColumnText(2, up); },
         [](auto& x, auto& y) { return Order(ExpectedText(x, 2), ExpectedText(y, 2)); }},
        {"type",
         [](MediaEntryLists& l, const Entries& rows, int up) {
             std::vector<std::string> keys;
             for (const MediaEntry& e : rows) keys.push_back(Extension(e.path));
             l.SortByStringKeys(keys, up);
         },
         [](auto& x, auto& y) {
             return Order(Lower(Extension(x.path)), Lower(Extension(y.path)));
         }},
        {"directory",
         [](MediaEntryLists& l, const Entries&, int up) {
             std::vector<std::string> none;
             l.SetKeysArePaths(true);
             l.SortByStringKeys(none, up);
             l.SetKeysArePaths(false);
         },
         [](auto& x, auto& y) { return Order(Lower(x.path), Lower(y.path)); }},
        {"duration",
         [](MediaEntryLists& l, const Entries& rows, int up) {
             std::vector<double> keys;
             for (const MediaEntry& e : rows) keys.push_back(Length(e));
             l.SortByNumberKeys(keys, up);
         },
         [](auto& x, auto& y) { return Order(Length(x), Length(y)); }},
    };
    const char* const names[] = {"b", "A", "c", "a", "B"};
    const char* const extensions[] = {"avi", "MP3", "ogg", "Avi"};
    std::mt19937 random(3);
    for (int n : {2, 8, 9, 40, 300}) {  // the selection pass alone, and the partition
        for (const auto& kind : kinds) {
            for (int ascending : {1, 0}) {
                const std::string where = std::string(kind.name) + " n=" + std::to_string(n) +
                                          " ascending=" + std::to_string(ascending);
                list_.Entries().ClearEntries();
                for (int i = 0; i < n; ++i) {
                    // Few distinct names, extensions and times: plenty of ties. The folder
                    // number keeps every path unique, so the playing entry is known.
                    const std::string path = "/m/" + std::to_string(i) + "/" + names[random() % 5] +
                                             std::to_string(random() % 3) + "." +
                                             extensions[random() % 4];
                    const double begin = (random() % 3 == 0) ? 0.0 : double(random() % 90);
                    const double end = (random() % 4 == 0) ? -1.0 : double(random() % 4000);
                    list_.Entries().AddEntry(i, path, begin, end);
                }
                list_.SetCurrentItem(int(random() % unsigned(n)));
                const MediaEntry playing = list_.Entries().Entry(list_.Entries().CurrentRow());
                const Entries before = list_.Entries().Snapshot();

                kind.sort(list_.Entries(), before, ascending);

                const Entries after = list_.Entries().Snapshot();
                ASSERT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()))
                    << where;
                for (int row = 0; row < n; ++row) {
                    for (int column = 0; column < 3; ++column) {
                        ASSERT_EQ(
                            list_.ItemModel().index(row, column).data().toString().toStdString(),
                            ExpectedText(after[size_t(row)], column))
                            << where << " row " << row << " column " << column;
                    }
                    if (row > 0) {
                        const int order = kind.order(after[size_t(row - 1)], after[size_t(row)]);
                        ASSERT_TRUE(ascending == 1 ? order <= 0 : order >= 0)
                            << where << " row " << row;
                    }
                }
                ASSERT_EQ(BoldRow(), list_.Entries().CurrentRow()) << where;
                ASSERT_EQ(after[size_t(BoldRow())], playing) << where;
                ASSERT_EQ(owner_.settings.currentIndex, BoldRow()) << where;
            }
        }
    }
}

// Block drag -------------------------------------------------------------------------------

const std::vector<std::string> kFive = {"P", "Q", "R", "S", "T"};

TEST_F(ListTest, DraggingANonContiguousSelectionMovesTheBlockWithItsEntriesAndSelection) {
    auto steps = [](QPoint from, QPoint step) {
        std::vector<QPoint> points;
        for (int i = 0; i < 5; ++i) points.push_back(from + i * step);
        return points;
    };
    const struct {
        const char* what;
        int pressRow;
        std::function<std::vector<QPoint>(ListTest&)> path;
        std::vector<std::string> expected;
        std::vector<int> selected;
        int playingRow;  // Q plays
    } cases[] = {
        {"one row down",
         1,
         [](ListTest& t) { return std::vector<QPoint>{t.Cell(2, 0)}; },
         {"P", "R", "Q", "T", "S"},
         {2, 4},
         2},
        {"one row up",
         3,
         [](ListTest& t) { return std::vector<QPoint>{t.Cell(2, 0)}; },
         {"Q", "P", "S", "R", "T"},
         {0, 2},
         0},
        {"far below: stops at the last row",
         1,
         [&](ListTest& t) { return steps(t.Cell(4, 0) + QPoint(0, 60), QPoint(0, 1)); },
         {"P", "R", "Q", "T", "S"},
         {2, 4},
         2},
        {"above the list: stops at the first row",
         3,
         [&](ListTest&) { return steps(QPoint(10, -20), QPoint(0, -1)); },
         {"Q", "P", "S", "R", "T"},
         {0, 2},
         0},
        {"down and back to the pressed row",
         1,
         [](ListTest& t) {
             return std::vector<QPoint>{t.Cell(2, 0), t.Cell(1, 0)};
         },
         {"P", "Q", "R", "S", "T"},
         {1, 3},
         1},
    };
    for (const auto& c : cases) {
        list_.Entries().ClearEntries();
        Fill(kFive);
        list_.SetCurrentItem(1);
        Select({1, 3});
        Press(Cell(c.pressRow, 0));
        ASSERT_EQ(list_.SelectedRows(), (std::vector<int>{1, 3}))
            << c.what << ": the press kept the selection";
        const std::vector<QPoint> path = c.path(*this);
        for (const QPoint& point : path) {
            DragTo(point);
            std::vector<std::string> entries;  // rows and entries agree at every step
            for (const MediaEntry& e : list_.Entries().Snapshot())
                entries.push_back(e.path.substr(3));
            EXPECT_EQ(Names(), entries) << c.what;
        }
        Release(path.back());
        EXPECT_EQ(Names(), c.expected) << c.what;
        EXPECT_EQ(list_.SelectedRows(), c.selected) << c.what;
        EXPECT_EQ(BoldRow(), c.playingRow) << c.what;
        EXPECT_EQ(list_.Entries().Entry(c.playingRow).path, "/m/Q") << c.what;
        EXPECT_EQ(owner_.settings.currentIndex, c.playingRow) << c.what;
    }
}

// Drops ------------------------------------------------------------------------------------

TEST_F(ListTest, DroppedFilesGoInOrderAtTheRowUnderThePointerAndNotWhileFiltered) {
    Fill(kFive);
    list_.SetCurrentItem(3);  // S
    const std::string longPath = "/deep/" + std::string(6000, 'x') + "/long name.avi";
    ASSERT_TRUE(Drop(Cell(2, 0), {"/d/one.avi", "/d/two.mp3", longPath}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q", "one.avi", "two.mp3", "long name.avi",
                                                 "R", "S", "T"}));
    EXPECT_EQ(list_.Entries().Entry(4).path, longPath);  // kept whole
    for (int row = 2; row <= 4; ++row) {
        EXPECT_EQ(list_.Entries().Entry(row).end, -1.0);
        EXPECT_EQ(list_.ItemModel().index(row, 1).data().toString().toStdString(),
                  std::string(8, ' '));
        EXPECT_EQ(list_.ItemModel().index(row, 2).data().toString().toStdString(),
                  std::string(8, ' '));
    }
    EXPECT_EQ(BoldRow(), 6);
    EXPECT_EQ(owner_.settings.currentIndex, 6);
    EXPECT_GE(owner_.probes, 1);

    // Below the last row: at the top.
    list_.Entries().ClearEntries();
    Fill({"P", "Q"});
    ASSERT_TRUE(Drop(QPoint(20, list_.viewport()->height() - 5), {"/d/x", "/d/y", "/d/z"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"x", "y", "z", "P", "Q"}));

    // Filtered: refused.
    list_.Entries().ShowFiltered([](const MediaEntry&) { return true; });
    EXPECT_FALSE(Drop(Cell(0, 0), {"/d/refused"}));
    list_.Entries().ShowMaster();
    EXPECT_EQ(list_.Entries().Count(), 5);
}

// Right button -----------------------------------------------------------------------------

TEST_F(ListTest, ARightClickOnThePlayingRowsBeginOrEndCellSetsTheRangeFromThePosition) {
    const struct {
        const char* what;
        int row;  // row 1 plays
        int column;
        double position;
        double begin, end;                  // before
        double expectedBegin, expectedEnd;  // after
        double expectedRangeEnd;            // rangeEnd starts at 7
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
        list_.Entries().ClearEntries();
        Fill({"a", "b", "c"});
        list_.Entries().SetBegin(c.row, c.begin);
        list_.Entries().SetEnd(c.row, c.end);
        list_.SetCurrentItem(1);
        owner_.settings.rangeEnd = 7;
        owner_.position = c.position;
        owner_.menus = 0;
        RightClick(c.row, c.column);
        EXPECT_EQ(list_.Entries().Entry(c.row).begin, c.expectedBegin) << c.what;
        EXPECT_EQ(list_.Entries().Entry(c.row).end, c.expectedEnd) << c.what;
        EXPECT_EQ(owner_.settings.rangeEnd, c.expectedRangeEnd) << c.what;
        EXPECT_EQ(owner_.menus, c.menus) << c.what;
        EXPECT_EQ(list_.ItemModel().index(c.row, 1).data().toString().toStdString(),
                  FormatTime(c.expectedBegin))
            << c.what;
        EXPECT_EQ(list_.ItemModel().index(c.row, 2).data().toString().toStdString(),
                  FormatTime(c.expectedEnd))
            << c.what;
    }
    // Below the rows: the menu.
    owner_.menus = 0;
    Press(QPoint(20, list_.viewport()->height() - 5), Qt::RightButton);
    EXPECT_EQ(owner_.menus, 1);
}

TEST_F(ListTest, ARightDoubleClickResetsTheBeginOrTheEnd) {
    Fill({"a", "b"});
    list_.SetCurrentItem(0);
    list_.Entries().SetBegin(0, 30);
    list_.Entries().SetEnd(0, 90);
    owner_.settings.rangeEnd = 90;
    Mouse(QEvent::MouseButtonDblClick, Cell(0, 1), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(list_.Entries().Entry(0).begin, 0.0);
    EXPECT_EQ(list_.ItemModel().index(0, 1).data().toString().toStdString(), "00:00:00");
    EXPECT_EQ(list_.Entries().Entry(0).end, 90.0);

    const int probes = owner_.probes;
    Mouse(QEvent::MouseButtonDblClick, Cell(0, 2), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(list_.Entries().Entry(0).end, -1.0);  // probed again
    EXPECT_GT(owner_.probes, probes);
    EXPECT_EQ(owner_.settings.rangeEnd, -1.0);
    EXPECT_EQ(owner_.menus, 0);

    // Not the playing row: nothing.
    list_.Entries().SetBegin(1, 30);
    Mouse(QEvent::MouseButtonDblClick, Cell(1, 1), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(list_.Entries().Entry(1).begin, 30.0);
}

TEST_F(ListTest, TheWizardSetsNoRangeTakesNoDropsAndOpensItsMenuOverARow) {
    Make(kWizardMode);
    Fill({"a"});
    list_.Entries().SetBegin(0, 5);
    owner_.position = 50;
    RightClick(0, 1);
    EXPECT_EQ(list_.Entries().Entry(0).begin, 5.0);
    EXPECT_EQ(owner_.menus, 1);
    EXPECT_GE(owner_.fills, 1);
    EXPECT_EQ(owner_.probes, 0);
    EXPECT_FALSE(Drop(Cell(0, 0), {"/d/x"}));
    EXPECT_EQ(list_.Entries().Count(), 1);
}

// Double-click, current row, Delete, wheel -------------------------------------------------

TEST_F(ListTest, ADoubleClickPlaysTheRow) {
    Fill({"a", "b", "c"});
    Mouse(QEvent::MouseButtonDblClick, Cell(2, 0), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(owner_.plays, 1);
    EXPECT_EQ(owner_.playedIndex, 2);
}

TEST_F(ListTest, SetCurrentItemMovesTheBoldRowAndIgnoresRowsOutsideTheList) {
    Fill({"a", "b", "c"});
    list_.SetCurrentItem(0);
    list_.SetCurrentItem(2);
    EXPECT_EQ(BoldRow(), 2);
    EXPECT_EQ(owner_.settings.currentIndex, 2);
    list_.SetCurrentItem(3);
    list_.SetCurrentItem(-1);
    EXPECT_EQ(BoldRow(), 2);
}

TEST_F(ListTest, DeleteRemovesTheSelectedRowsAndThePlayingRowFollowsItsEntry) {
    Fill(kFive);
    list_.SetCurrentItem(4);  // T
    Select({1, 3});
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&list_, &del);
    EXPECT_EQ(Names(), (std::vector<std::string>{"P", "R", "T"}));
    EXPECT_EQ(BoldRow(), 2);
    EXPECT_EQ(owner_.settings.currentIndex, 2);

    list_.selectionModel()->clearSelection();
    QApplication::sendEvent(&list_, &del);  // nothing selected: nothing removed
    EXPECT_EQ(list_.Entries().Count(), 3);
}

TEST_F(ListTest, TheWheelScrollsOneLinePerNotchAndAddsUpSmallerDeltas) {
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) names.push_back(std::to_string(i));
    Fill(names);
    ASSERT_GT(list_.ScrollLimit(), 20);
    list_.SetScrollPos(10);
    list_.EnsureTopIndex();
    ASSERT_EQ(list_.TopIndex(), 10);
    const struct {
        int delta;
        int top;
    } steps[] = {
        {240, 8}, {-119, 8}, {-1, 9},   // two notches; the rest of a notch adds up
        {60, 9},  {60, 8},              // a touchpad's half notches
        {90, 8},  {-60, 8},  {-60, 9},  // turning back starts afresh
    };
    for (const auto& step : steps) {
        Wheel(step.delta);
        EXPECT_EQ(list_.TopIndex(), step.top) << step.delta;
        EXPECT_EQ(list_.ScrollPos(), step.top) << step.delta;
    }
}

}  // namespace
