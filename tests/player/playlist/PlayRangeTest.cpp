// The play-range dialog on generated media: typed ranges clipped to the file, the fields'
// reading and the end of the playing entry.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <string>
#include <vector>

#include "common/TimeFields.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/LengthWait.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/MediaEntryLists.h"
#include "player/playlist/PlayRange.h"
#include "player/playlist/PlaylistFilter.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "tests/player/playlist/QuietListOwner.h"

namespace {

using FakeOwner = QuietListOwner;

// The 30-second file is made once for every test here.
class RangeTest : public ::testing::Test {
public:
    static inline TempEnvironment* env_ = nullptr;
    static inline std::string film_;

    static void SetUpTestSuite() {
        env_ = new TempEnvironment;
        film_ = env_->Path("thirty.wav");
        ASSERT_TRUE(media::MakeWav(film_, {.seconds = 30.0, .rate = 8000, .channels = 1}));
    }
    static void TearDownTestSuite() {
        delete env_;
        env_ = nullptr;
    }

    FakeOwner owner_;
    QWidget playlist_;
    XCListCtrl list_{&playlist_};
    MediaEntryLists& entries_ = list_.Entries();
    DurationProber prober_{entries_};
    LengthWait lengths_{&prober_, &entries_, &prober_.Worker(), {}};
    CPlayRange range_{list_, lengths_, owner_.settings.rangeEnd, &playlist_};

    void SetUp() override {
        list_.SetOwner(kPlaylistMode, &owner_);
        entries_.AddEntry(0, film_, 0.0, -1.0);
        entries_.AddEntry(1, "/missing/unknown.avi", 0.0, -1.0);
        entries_.AddEntry(2, film_, 0.0, -1.0);
    }
    void Select(const std::vector<int>& rows) {
        list_.clearSelection();
        for (int row : rows)
            list_.selectionModel()->select(list_.ItemModel().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    // The lengths asked of the background prober are in.
    void Settle() {
        ASSERT_TRUE(qttest::WaitUntil([&] { return !lengths_.Busy(); }, 30000));
    }
    void Apply() {
        range_.OnOK();
        Settle();
    }
    void Type(const std::vector<std::string>& texts) {
        for (int k = 0; k < 8; ++k)
            range_.Field(k).setText(QString::fromStdString(texts[size_t(k)]));
    }
};

TEST_F(RangeTest, ApplyClipsTheTypedRangeToEachSelectedFile) {
    const double saturated = static_cast<double>(kTimeFieldMax) * 3600.0;
    const std::string digits29(29, '9');
    struct Case {
        const char* name;
        std::vector<std::string> fields;
        int row;
        double begin, end;  // -1: unchanged
    } cases[] = {
        {"10..60", {"00", "00", "10", "000000", "00", "01", "00", "000000"}, 0, 10, 30},
        {"120..180", {"00", "02", "00", "000000", "00", "03", "00", "000000"}, 0, 0, 30},
        {"10..10", {"00", "00", "10", "000000", "00", "00", "10", "000000"}, 0, -1, -1},
        {"fractions", {"", "", "1", "5", "", "", "2", "000500"}, 0, 1.5, 2.0005},
        {"minutes 90", {"0", "0", "0", "0", "0", "90", "0", "0"}, 1, 0, 5400},
        {"29 digits", {"", "", "10", "", digits29, "", "", ""}, 1, 10, saturated},
        {"29 digits on the film", {"", "", "10", "", digits29, "", "", ""}, 0, 10, 30},
        {"end before start", {"", "", "20", "", "", "", "10", ""}, 1, -1, -1},
    };
    for (const Case& c : cases) {
        SetUp();
        entries_.ClearEntries();
        SetUp();
        Select({c.row});
        Type(c.fields);
        Apply();
        const MediaEntry& entry = entries_.Entry(c.row);
        if (c.begin < 0) {
            EXPECT_EQ(entry.begin, 0.0) << c.name;
            EXPECT_EQ(entry.end, -1.0) << c.name;
        } else {
            EXPECT_NEAR(entry.begin, c.begin, 1e-9) << c.name;
            EXPECT_NEAR(entry.end, c.end, c.end == 30 ? 0.05 : 1e-9) << c.name;
            EXPECT_EQ(entries_.ColumnText(c.row, 1).find(' '), std::string::npos) << c.name;
        }
    }
}

TEST_F(RangeTest, SeveralRowsEachClipToTheirOwnFileAndThePlayingOneMovesRangeEnd) {
    entries_.SetCurrentRow(2);
    owner_.settings.rangeEnd = 30.0;
    Select({0, 1, 2});
    Type({"", "", "5", "", "", "1", "0", ""});  // 5..60
    Apply();
    EXPECT_NEAR(entries_.Entry(0).end, 30.0, 0.05);
    EXPECT_EQ(entries_.Entry(1).end, 60.0);  // no length: the typed end stands
    EXPECT_NEAR(owner_.settings.rangeEnd, 30.0, 0.05);

    // The playing row's new end, inside its file, is where its playback now stops.
    Select({2});
    Type({"", "", "5", "", "", "", "20", ""});
    Apply();
    EXPECT_EQ(entries_.Entry(2).end, 20.0);
    EXPECT_EQ(owner_.settings.rangeEnd, 20.0);

    Select({0});  // not the playing row: rangeEnd stays
    owner_.settings.rangeEnd = 7.0;
    Type({"", "", "1", "", "", "", "2", ""});
    Apply();
    EXPECT_EQ(owner_.settings.rangeEnd, 7.0);
}

// The rows the range was asked for get it, wherever they stand when the lengths are in;
// Escape before then leaves every row as it was.
TEST_F(RangeTest, TheRangeFollowsItsRowsThroughASortAndEscapeDropsIt) {
    Select({0, 2});
    Type({"", "", "4", "", "", "", "8", ""});
    range_.OnOK();
    ASSERT_TRUE(lengths_.Busy());
    entries_.SwapEntries(0, 1);  // the first row moves down while its length is found
    Settle();
    EXPECT_EQ(entries_.Entry(1).begin, 4.0);
    EXPECT_EQ(entries_.Entry(2).end, 8.0);
    EXPECT_EQ(entries_.Entry(0).end, -1.0);  // unknown.avi was not asked

    Select({0});
    Type({"", "", "1", "", "", "", "2", ""});
    range_.OnOK();
    ASSERT_TRUE(lengths_.Busy());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&list_, &escape);
    ASSERT_TRUE(qttest::WaitUntil([&] { return !lengths_.Busy(); }));
    qttest::Pump(50);
    EXPECT_EQ(entries_.Entry(0).end, -1.0);
}

TEST_F(RangeTest, ARangeSetWhileFilteredReachesTheMasterEntry) {
    playlistfilter::ApplyText(entries_, "unknown");
    ASSERT_EQ(entries_.Count(), 1);
    Select({0});
    Type({"", "", "3", "", "", "", "9", ""});
    Apply();
    playlistfilter::ApplyText(entries_, "");
    EXPECT_EQ(entries_.Entry(1).begin, 3.0);
    EXPECT_EQ(entries_.Entry(1).end, 9.0);
}

TEST_F(RangeTest, ShowSelectionRoundsToMicrosecondsAndKeepsFieldsWithoutALength) {
    struct Case {
        double begin, end;
        std::vector<std::string> fields;
    } cases[] = {
        {9.9999997, 30.0, {"00", "00", "10", "000000", "00", "00", "30", "000000"}},
        {61.25, 3723.5, {"00", "01", "01", "250000", "01", "02", "03", "500000"}},
        {0.0, -2.0, {"00", "01", "01", "250000", "01", "02", "03", "500000"}},  // kept
    };
    for (const Case& c : cases) {
        entries_.SetBegin(1, c.begin);
        entries_.SetEnd(1, c.end);
        Select({1});
        range_.ShowSelection();
        Settle();
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(range_.Field(k).text().toStdString(), c.fields[size_t(k)])
                << c.begin << " field " << k;
    }
    Select({0});  // never probed: the length is found first, then shown
    range_.ShowSelection();
    EXPECT_EQ(range_.Field(6).text().toStdString(), "03");
    Settle();
    EXPECT_EQ(range_.Field(6).text().toStdString(), "30");
}

}  // namespace
