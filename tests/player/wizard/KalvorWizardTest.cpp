// The wizard window shows the selected fragment in its fields, trims it from what the user
// types against the file's real length, keeps its buttons in step with the rows and hands
// the selected row to a job.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <mutex>

#include "WizardTestHost.h"
#include "common/JobFile.h"
#include "player/menus/MenuXP.h"
#include "player/playlist/ClipboardText.h"
#include "player/playlist/DurationProber.h"
#include "player/playlist/ListCtrlOwner.h"
#include "player/playlist/MediaLength.h"
#include "player/playlist/PlaylistCommands.h"
#include "player/playlist/PlaylistDialogs.h"
#include "player/playlist/XCListCtrl.h"
#include "player/wizard/KalvorWizard.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"
#include "tests/player/playlist/QuietListOwner.h"

namespace {

// The real lookup, counted; asked on the wizard's own thread.
struct CountedLength : IMediaLength {
    MediaLength real;
    std::mutex mutex;
    std::vector<std::string> asked;
    double Length(const std::string& path) override {
        {
            std::lock_guard lock(mutex);
            asked.push_back(path);
        }
        return real.Length(path);
    }
    std::vector<std::string> Paths() {
        std::lock_guard lock(mutex);
        return asked;
    }
};

class KalvorWizardTest : public TempFolderTest {
protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        host_.appData = env_.DataHome() + "/Kalvor";
        wizard_ = std::make_unique<CKalvorWizard>(host_, launcher_, nullptr, &lengths_, &dialog_);
    }
    void TearDown() override {
        wizard_.reset();
        SetMessageSink(nullptr);
    }

    std::vector<std::string> Fields() {
        std::vector<std::string> texts;
        for (int i = 0; i < 8; ++i) texts.push_back(wizard_->TimeField(i).text().toStdString());
        return texts;
    }
    // Typed, and the trim made once the file's length is in.
    void Type(int field, const char* text) {
        wizard_->TimeField(field).setText(text);
        ASSERT_TRUE(qttest::WaitUntil([&] { return !wizard_->FindingLength(); }, 30000));
    }
    void Select(int row) {
        wizard_->List().setCurrentIndex(wizard_->List().ItemModel().index(row, 0));
        wizard_->FillTimeFields();
    }
    const MediaEntry& Row(int row) { return wizard_->List().Entries().Entry(row); }
    void Key(QWidget& target, Qt::Key key, Qt::KeyboardModifiers mods) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(&target, &press);
    }
    bool ButtonsEnabled() {
        bool all = true, none = true;
        for (int kind = 1; kind <= 6; ++kind) {
            const bool on = wizard_->JobButton(static_cast<JobKind>(kind)).isEnabled();
            all = all && on;
            none = none && !on;
        }
        EXPECT_TRUE(all || none);
        return all;
    }

    WizardTestHost host_;
    WizardTestSink sink_;
    WizardTestLauncher launcher_;
    WizardTestFileDialog dialog_;
    CountedLength lengths_;
    std::unique_ptr<CKalvorWizard> wizard_;
};

TEST_F(KalvorWizardTest, FillingShowsTheRangeInTwoDigitPartsWithoutTrimming) {
    EXPECT_EQ(wizard_->windowTitle(), "Kalvor Wizard");
    wizard_->AddFragment("/media/clips/first.avi", 3725.25, 7322.000001);
    EXPECT_EQ(Fields(),
              (std::vector<std::string>{"01", "02", "05", "250000", "02", "02", "02", "000001"}));
    EXPECT_EQ(wizard_->FileNameField().text(), "first.avi");
    EXPECT_EQ(Row(0).begin, 3725.25);  // writing the fields is not typing
    EXPECT_EQ(Row(0).end, 7322.000001);
    EXPECT_TRUE(lengths_.Paths().empty());
    // No range: the fields keep what they showed, the name follows.
    wizard_->AddFragment("/media/clips/second.avi", 0.0, MediaEntry::kEndUnprobed);
    EXPECT_EQ(Fields()[0], "01");
    EXPECT_EQ(wizard_->FileNameField().text(), "second.avi");
}

TEST_F(KalvorWizardTest, TypedRangesAreTrimmedToEachRowsOwnFileLength) {
    const std::string longFile = env_.Path("thirty.wav");
    const std::string shortFile = env_.Path("five.wav");
    media::AudioSpec spec;
    spec.seconds = 30.0;
    ASSERT_TRUE(media::MakeWav(longFile, spec));
    spec.seconds = 5.0;
    ASSERT_TRUE(media::MakeWav(shortFile, spec));
    wizard_->AddFragment(shortFile, 1.0, 4.0);
    wizard_->AddFragment(longFile, 2.0, 10.0);

    Type(6, "40");  // end 00:00:40 past the 30-second file
    EXPECT_EQ(Row(1).begin, 2.0);
    EXPECT_NEAR(Row(1).end, 30.0, 0.05);
    EXPECT_EQ(wizard_->TimeField(6).text(), "40");  // the field keeps what was typed
    Type(2, "35");                                  // begin after the new end
    EXPECT_EQ(Row(1).begin, 0.0);
    EXPECT_NEAR(Row(1).end, 30.0, 0.05);
    Type(2, "50");  // end <= begin: nothing changes
    EXPECT_EQ(Row(1).begin, 0.0);
    EXPECT_EQ(lengths_.Paths(), std::vector<std::string>{longFile});  // one probe for this filling

    // A row without a range leaves the fields as they were, yet its own length counts.
    wizard_->AddFragment(shortFile, 0.0, MediaEntry::kEndUnprobed);
    Type(2, "01");
    EXPECT_EQ(Row(2).begin, 1.0);
    EXPECT_NEAR(Row(2).end, 5.0, 0.05);
    // Another row: its own file's length, fetched anew.
    Select(0);
    Type(6, "20");
    EXPECT_NEAR(Row(0).end, 5.0, 0.05);
    EXPECT_EQ(Row(0).begin, 1.0);
    EXPECT_EQ(lengths_.Paths(), (std::vector<std::string>{longFile, shortFile, shortFile}));
    EXPECT_EQ(wizard_->List().Entries().ColumnText(0, 2), "00:00:05");
}

TEST_F(KalvorWizardTest, ALengthIsKnownOnlyForARegularMediaFile) {
    const std::string fifo = env_.Path("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string text = env_.Path("notes.wav");
    TempEnvironment::WriteFile(text, "no sound here");
    MediaLength lengths;
    for (const std::string& path : {fifo, text, env_.Root(), env_.Path("missing.wav")})
        EXPECT_EQ(lengths.Length(path), -1.0) << path;
    // An unknown length lowers nothing.
    wizard_->AddFragment(fifo, 1.0, 4.0);
    Type(6, "40");
    EXPECT_EQ(Row(0).end, 40.0);
}

// Rows handed over while the wizard is open must not pull it back from where the user put it.
TEST_F(KalvorWizardTest, OnlyAHiddenWizardIsPlacedWhenRowsArrive) {
    wizard_->ShowWizard(true);
    const QPoint placed = wizard_->pos();
    const QPoint moved = placed + QPoint(37, -23);
    wizard_->move(moved);
    wizard_->AddFragment("/media/a.avi", 0.0, 5.0);
    wizard_->ShowWizard(true);
    EXPECT_EQ(wizard_->pos(), moved);
    EXPECT_TRUE(wizard_->isVisible());
    wizard_->ShowWizard(false);
    EXPECT_FALSE(wizard_->isVisible());
    wizard_->ShowWizard(true);
    EXPECT_EQ(wizard_->pos(), placed);
}

// The trim waits for the file's length off the window's thread; Escape drops it, and the
// next edit asks again.
TEST_F(KalvorWizardTest, EscapeDropsATrimWaitingForItsLength) {
    const std::string film = env_.Path("ten.wav");
    ASSERT_TRUE(media::MakeWav(film, {.seconds = 10.0}));
    wizard_->AddFragment(film, 1.0, 4.0);
    wizard_->TimeField(6).setText("40");
    ASSERT_TRUE(wizard_->FindingLength());
    EXPECT_EQ(wizard_->windowTitle(), "Kalvor Wizard - Finding lengths: 0 of 1 - Esc cancels");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&wizard_->TimeField(6), &escape);
    EXPECT_FALSE(wizard_->FindingLength());
    EXPECT_EQ(wizard_->windowTitle(), "Kalvor Wizard");
    qttest::Pump(100);
    EXPECT_EQ(Row(0).end, 4.0);
    Type(6, "30");
    EXPECT_NEAR(Row(0).end, 10.0, 0.05);
}

TEST_F(KalvorWizardTest, AnEmptyListDisablesTheJobsAndEmptiesTheFields) {
    EXPECT_FALSE(ButtonsEnabled());
    wizard_->AddFragment("/media/a.avi", 1.5, 9.0);
    wizard_->AddFragment("/media/b.avi", 2.5, 8.0);
    EXPECT_TRUE(ButtonsEnabled());

    // Ctrl+Shift+Delete is not Ctrl+Delete.
    Key(wizard_->FileNameField(), Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(wizard_->List().Entries().Count(), 2);
    Key(wizard_->FileNameField(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(wizard_->List().Entries().Count(), 0);
    EXPECT_FALSE(ButtonsEnabled());
    EXPECT_EQ(Fields(), std::vector<std::string>(8, ""));
    EXPECT_EQ(wizard_->FileNameField().text(), "");

    wizard_->AddFragment("/media/a.avi", 1.5, 9.0);
    wizard_->AddFragment("/media/b.avi", 2.5, 8.0);
    wizard_->RunCommand(kRemoveSelectedCommand);  // the menu's first entry: the selected row
    ASSERT_EQ(wizard_->List().Entries().Count(), 1);
    EXPECT_EQ(Row(0).path, "/media/a.avi");
    EXPECT_TRUE(ButtonsEnabled());
    wizard_->RunCommand(kRemoveAllCommand);
    EXPECT_FALSE(ButtonsEnabled());
    const CMenuXP& menu = wizard_->ListMenu();
    EXPECT_EQ(menu.ItemOf(menu.FindItem(kRemoveSelectedCommand))->text,
              "Remove Selected Item\tDelete");
    EXPECT_EQ(menu.ItemOf(menu.FindItem(kRemoveAllCommand))->text, "Remove All\tCtrl+Delete");
}

TEST_F(KalvorWizardTest, AJobButtonWritesTheSelectedRowAndHelpFollowsTheJob) {
    wizard_->AddFragment("/media/a.avi", 1.5, 9.0);
    wizard_->AddFragment("/media/b clip.avi", 12.9, 30.5);
    wizard_->AddFragment("/media/c.avi", 3.0, 4.0);
    Select(1);
    bool finished = false;
    QObject::connect(&wizard_->Starter(), &JobStarter::JobFinished, [&](bool) { finished = true; });
    wizard_->JobButton(JobKind::ExtractImage).click();
    ASSERT_TRUE(qttest::WaitUntil([&] { return finished; }));
    const std::string jobPath = host_.appData + "/KORCP.SPF";
    ASSERT_EQ(launcher_.launches.size(), 1u);
    EXPECT_EQ(launcher_.launches[0], std::vector<std::string>{jobPath});
    JobFile job;
    ASSERT_EQ(ReadJobRecords(TempEnvironment::ReadFile(jobPath), job), JobReadError::None);
    ASSERT_EQ(job.fragments.size(), 1u);
    EXPECT_STREQ(job.fragments[0].path, "/media/b clip.avi");
    EXPECT_EQ(job.fragments[0].startSeconds, 12);
    EXPECT_EQ(job.fragments[0].endSeconds, 30);
    EXPECT_TRUE(ButtonsEnabled());

    Key(*wizard_, Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(host_.help, std::vector<int>{10});
    wizard_->LogoCheckBox().setChecked(true);
    EXPECT_EQ(host_.settings.logoEnabled, 1);
    wizard_->LogoCheckBox().setChecked(false);
    EXPECT_EQ(host_.settings.logoEnabled, 0);
}

TEST_F(KalvorWizardTest, PlacedBelowTheMainWindowOnItsScreen) {
    wizard_->PlaceAndShowWizard(true);
    EXPECT_TRUE(wizard_->isVisible());
    const QSize size = wizard_->frameGeometry().size();
    EXPECT_EQ(wizard_->frameGeometry().topLeft(), QPoint(400 - size.width() / 2, 150));
    wizard_->PlaceAndShowWizard(false);
    EXPECT_FALSE(wizard_->isVisible());
}

// The playlist window around a bare list: only what its job commands touch.
struct PlaylistSide : QuietListOwner, IPlaylistCommandsHost, IPlaylistDialogs, IClipboardText {
    PlayerSettings& Settings() override { return settings; }
    void ProbeVisibleDurations() override {}
    void PlaySelected() override {}
    void ClearFilter() override {}
    void FocusFilterBox() override {}
    void ToggleWindow() override {}
    bool RandomOrder() const override { return false; }
    void SetRandomOrder(bool) override {}
    void PlaceScrollThumb() override {}
    void ShowBusyStatus(const std::string&) override {}
    std::vector<std::string> AskMediaFiles(const std::string&) override { return {}; }
    std::optional<std::string> AskFolder(const std::string&) override { return std::nullopt; }
    void SetText(const std::string&) override {}
};

TEST_F(KalvorWizardTest, APlaylistJobCommandRunsTheJobOnTheSelectedRowsAlone) {
    wizard_->AddFragment("/media/stale.avi", 1.0, 2.0);  // from an earlier hand-over
    PlaylistSide side;
    XCListCtrl playlist;
    playlist.SetOwner(kPlaylistMode, &side);
    DurationProber prober(playlist.Entries(), [](const std::string&) { return 20.0; });
    PlaylistCommands commands(playlist, side, side, side, &prober);
    commands.SetWizard(wizard_.get());
    for (const char* path : {"/m/a.avi", "/m/b.avi", "/m/c.avi"})
        playlist.Entries().AddEntry(playlist.Entries().Count(), path, 0.0, -1.0);
    for (int row : {2, 0})
        playlist.selectionModel()->select(playlist.ItemModel().index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);

    bool finished = false;
    QObject::connect(&wizard_->Starter(), &JobStarter::JobFinished, [&](bool) { finished = true; });
    commands.OnPlaylistCommand(5166);  // merge video
    ASSERT_TRUE(qttest::WaitUntil([&] { return finished; }));
    ASSERT_EQ(launcher_.launches.size(), 1u);
    JobFile job;
    ASSERT_EQ(ReadJobRecords(TempEnvironment::ReadFile(host_.appData + "/KORCP.SPF"), job),
              JobReadError::None);
    EXPECT_EQ(job.header.kind, static_cast<int32_t>(JobKind::MergeVideo));
    ASSERT_EQ(job.fragments.size(), 2u);
    EXPECT_STREQ(job.fragments[0].path, "/m/a.avi");
    EXPECT_STREQ(job.fragments[1].path, "/m/c.avi");
    EXPECT_EQ(job.fragments[1].endSeconds, 20);
    EXPECT_FALSE(wizard_->isVisible());
}

}  // namespace
