#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <climits>
#include <cstring>

#include "platform/system/FixedText.h"
#include "platform/system/Paths.h"
#include "player/options/KalvorOptions.h"
#include "player/options/SkinPackages.h"
#include "player/skin/SkinResources.h"
#include "player/skin/SkinUnpacker.h"
#include "tests/engine/CapturedMessages.h"
#include "tests/support/TempEnvironment.h"

namespace {

constexpr char kZip[] = "PK\3\4 rest of a package";

struct FakeModes : IDisplayModes {
    std::vector<DisplayMode> Modes() override { return {{1024, 768, 60, 32}, {800, 600, 75, 32}}; }
};

// The main window as the dialog sees it, recording the calls in order.
struct FakeHost : IOptionsHost {
    PlayerSettings settings = InstalledSettings();
    std::string program, config, appData;
    std::vector<std::string> calls;
    std::vector<bool> skinResults;  // what each ChangeSkin answers, in turn
    std::string shownSkin;

    PlayerSettings& Settings() override { return settings; }
    SettingsLiveState LiveState() override { return {}; }
    std::string ProgramFolder() override { return program; }
    std::string UserConfigFolder() override { return config; }
    std::string AppDataFolder() override { return appData; }
    void SuspendHotKeys(bool suspended) override {
        calls.push_back(suspended ? "suspend" : "resume");
    }
    std::string CurrentSkinPackage() override { return shownSkin; }
    bool ChangeSkin(const std::string& package) override {
        calls.push_back("skin " + package.substr(package.rfind('/') + 1));
        const bool ok = skinResults.empty() ? true : skinResults.front();
        if (!skinResults.empty()) skinResults.erase(skinResults.begin());
        if (ok) shownSkin = package;
        return ok;
    }
    void ExitPlayer() override { calls.push_back("exit"); }
    void RestoreZOrder() override { calls.push_back("zorder"); }
    void AfterOptionsClosed() override { calls.push_back("closed"); }
    void KeepCursorShown() override {}
    void ShowHelp(int id) override { calls.push_back("help " + std::to_string(id)); }
};

class KalvorOptionsTest : public TempFolderTest {
protected:
    void SetUp() override {
        host_.program = env_.Path("program");
        host_.config = env_.ConfigHome() + "/Kalvor";
        host_.appData = env_.DataHome() + "/Kalvor";
        ASSERT_TRUE(paths::EnsureFolder(host_.program + "/skins"));
        for (const char* name : {"Default.krs", "Blue.krs"})
            TempEnvironment::WriteFile(host_.program + "/skins/" + name, kZip);
        TempEnvironment::WriteFile(host_.program + "/skins/broken.krs", "not an archive");
        host_.shownSkin = host_.program + "/skins/Default.krs";
        dialog_ = std::make_unique<CKalvorOptions>(&host_, nullptr);
        dialog_->SetDisplayModes(&modes_);
        dialog_->SetAudioOutputNames([] { return std::vector<std::string>{"Fake Out"}; });
    }
    template <typename T>
    T* Get(int id) {
        return static_cast<T*>(dialog_->Control(id));
    }
    void SelectSkin(const char* name) {
        auto* list = Get<QListWidget>(CKalvorOptions::kSkinsList);
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).value(0));
    }
    // A key pressed on the hot-key list's row, as Qt reports it off X11.
    void PressOnRow(int row, int key, Qt::KeyboardModifiers mods) {
        auto* keys = Get<QTableWidget>(CKalvorOptions::kHotKeyList);
        keys->selectRow(row);
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(keys, &press);
    }
    std::string OptionsFile() const {
        return TempEnvironment::ReadFile(host_.config + "/options.cfg");
    }

    FakeHost host_;
    FakeModes modes_;
    CapturedMessages messages_;
    std::unique_ptr<CKalvorOptions> dialog_;
};

TEST_F(KalvorOptionsTest, ApplyWritesEveryControlIntoOptionsCfgAtItsOffset) {
    dialog_->LoadControls();
    EXPECT_EQ(Get<QComboBox>(CKalvorOptions::kModes)->currentText(), "UNCHANGED");
    EXPECT_EQ(Get<QComboBox>(CKalvorOptions::kDevices)->currentText(), "AUTODETECT");
    const int checks[] = {1120, 1126, 1127, 1128, 1129, 1130, 1131, 1132, 1133, 1134};
    for (size_t i = 0; i < std::size(checks); ++i)
        Get<QCheckBox>(checks[i])->setChecked(i % 3 == 1);
    PressOnRow(2, Qt::Key_A, Qt::ControlModifier);
    PressOnRow(9, Qt::Key_Left, Qt::AltModifier);
    PressOnRow(10, Qt::Key_5, Qt::KeypadModifier);
    PressOnRow(0, Qt::Key_Backspace, Qt::NoModifier);
    EXPECT_EQ(Get<QTableWidget>(CKalvorOptions::kHotKeyList)->item(2, 1)->text(), "Ctrl + A");
    Get<QLineEdit>(CKalvorOptions::kSeekStep)->setText("-5");
    Get<QLineEdit>(CKalvorOptions::kAspectX)->setText("16");
    Get<QLineEdit>(CKalvorOptions::kAspectY)->setText("99999999999");
    Get<QComboBox>(CKalvorOptions::kModes)->setCurrentText("800x600 75Hz 32 bits");
    Get<QComboBox>(CKalvorOptions::kDevices)->setCurrentText("Fake Out");
    Get<QCheckBox>(CKalvorOptions::kScanLine)->setChecked(true);
    Get<QCheckBox>(CKalvorOptions::kShowTips)->setChecked(false);
    dialog_->OnOK();

    // The expected record, built field by field from the installed one.
    PlayerSettings expected = InstalledSettings();
    for (size_t i = 0; i < std::size(checks); ++i)
        (&expected.rememberWindowPlacement)[i] = i % 3 == 1;
    expected.hotKeys[0] = 0;
    expected.hotKeys[2] = 0x20041;
    expected.hotKeys[9] = 0x40025;
    expected.hotKeys[10] = 0x65;
    expected.seekStepSeconds = 0;
    expected.customAspectX = 16;
    expected.customAspectY = INT_MAX;
    expected.displayWidth = 800, expected.displayHeight = 600, expected.displayRefresh = 75;
    expected.displayBitsPerPixel = 32;
    fixedtext::SetPath(expected.audioDevice, "Fake Out");
    expected.scanLineCheck = 1;
    expected.overlayLimitCheck = 0;
    expected.showTips = 0;
    const std::string file = OptionsFile();
    ASSERT_EQ(file.size(), sizeof(PlayerSettings));
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    EXPECT_EQ(std::memcmp(bytes, &expected, sizeof expected), 0);
    auto at = [&](size_t offset) {
        int32_t v;
        std::memcpy(&v, bytes + offset, 4);
        return v;
    };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(4), 1);
    EXPECT_EQ(at(36), 0);
    EXPECT_EQ(at(1248), 800);
    EXPECT_EQ(at(1572 + 2 * 4), 0x20041);
    EXPECT_EQ(at(1644), 0);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"suspend", "resume", "zorder", "closed"}));
    EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(KalvorOptionsTest, CancelKeepsTheHotKeysAndTheNextShowingReloadsThem) {
    const PlayerSettings before = host_.settings;
    dialog_->LoadControls();
    PressOnRow(2, Qt::Key_A, Qt::ControlModifier);
    PressOnRow(0, Qt::Key_Backspace, Qt::NoModifier);
    dialog_->OnCancel();
    EXPECT_EQ(std::memcmp(&before, &host_.settings, sizeof before), 0);
    EXPECT_FALSE(TempEnvironment::Exists(host_.config + "/options.cfg"));
    dialog_->LoadControls();
    EXPECT_EQ(dialog_->HotKeys().Code(2), before.hotKeys[2]);
    EXPECT_EQ(dialog_->HotKeys().Code(0), before.hotKeys[0]);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"suspend", "resume", "closed", "suspend"}));
}

TEST_F(KalvorOptionsTest, AFailedSkinSwitchLosesNoEditAndEndsThePlayerOnlyWithNoSkinLeft) {
    const struct {
        const char* chosen;
        std::vector<bool> results;
        const char* skinName;
        std::vector<std::string> calls;
        bool message;
    } cases[] = {
        {"Blue", {true}, "Blue", {"skin Blue.krs", "zorder"}, false},
        {"broken", {}, "Default", {"zorder"}, true},  // refused before the skin is given up
        {"Blue", {false, true}, "Default", {"skin Blue.krs", "skin Default.krs", "zorder"}, false},
        {"Blue",
         {false, false},
         "Default",
         {"skin Blue.krs", "skin Default.krs", "zorder", "exit"},
         false},
        {nullptr, {}, "Default", {"zorder"}, false},  // no row: the name stays
    };
    for (const auto& c : cases) {
        host_.settings = InstalledSettings();
        host_.shownSkin = host_.program + "/skins/Default.krs";
        host_.skinResults = c.results;
        messages_.shown.clear();
        dialog_->LoadControls();
        if (c.chosen)
            SelectSkin(c.chosen);
        else
            Get<QListWidget>(CKalvorOptions::kSkinsList)->setCurrentRow(-1);
        Get<QCheckBox>(1126)->setChecked(true);
        Get<QLineEdit>(CKalvorOptions::kSeekStep)->setText("7");
        host_.calls.clear();
        dialog_->ApplyOptions();
        const std::string label = c.chosen ? c.chosen : "(none)";
        EXPECT_EQ(host_.calls, c.calls) << label;
        EXPECT_EQ(fixedtext::Read(host_.settings.skinName), c.skinName) << label;
        EXPECT_EQ(messages_.shown.size(), c.message ? 1u : 0u) << label;
        if (c.message) {
            EXPECT_EQ(messages_.shown[0].text,
                      SkinUnpacker::FailureMessage(host_.program + "/skins/broken.krs",
                                                   SkinUnpacker::kNotAnArchive));
        }
        PlayerSettings written{};
        const std::string file = OptionsFile();
        ASSERT_EQ(file.size(), sizeof written);
        std::memcpy(&written, file.data(), sizeof written);
        EXPECT_EQ(written.alwaysOnTop, 1) << label;
        EXPECT_EQ(written.seekStepSeconds, 7) << label;
        EXPECT_EQ(fixedtext::Read(written.skinName), c.skinName) << label;
    }
}

TEST_F(KalvorOptionsTest, TooLongADeviceNameAndAnUnwritableFileAreRefusedAndReported) {
    dialog_->LoadControls();
    auto* devices = Get<QComboBox>(CKalvorOptions::kDevices);
    devices->addItem(QString(300, 'd'));
    devices->setCurrentIndex(devices->count() - 1);
    host_.config = env_.Path("plain-file");
    TempEnvironment::WriteFile(host_.config, "x");
    dialog_->ApplyOptions();
    EXPECT_EQ(fixedtext::Read(host_.settings.audioDevice), "AUTODETECT");
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].text.rfind(kOptionsWriteFailedText, 0), 0u);
}

TEST_F(KalvorOptionsTest, SkinsComeFromBothFoldersAndInstallWritesOnlyNewOnesToTheUsersFolder) {
    for (const char* name : {"a.krs.bak", "b.KRS", "c.krs", ".krs"})
        TempEnvironment::WriteFile(host_.program + "/skins/" + name, kZip);
    ASSERT_EQ(mkdir((host_.program + "/skins/d.krs").c_str(), 0700), 0);
    EXPECT_EQ(skinpackages::List(host_.program + "/skins"),
              (std::vector<std::string>{"Blue", "Default", "broken", "c"}));

    // The user's own skins are listed with the program's, a name in both once; the user's
    // copy is the one a switch takes.
    const std::string users = host_.appData + "/skins";
    for (const char* name : {"Blue.krs", "Zed.krs"})
        TempEnvironment::WriteFile(users + "/" + name, kZip);
    dialog_->LoadControls();
    auto* list = Get<QListWidget>(CKalvorOptions::kSkinsList);
    QStringList listed;
    for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
    EXPECT_EQ(listed, (QStringList{"Blue", "Default", "Zed", "broken", "c"}));
    SelectSkin("Blue");
    dialog_->ApplyOptions();
    EXPECT_EQ(host_.shownSkin, users + "/Blue.krs");

    TempEnvironment::WriteFile(env_.Path("New.krs"), std::string(200000, 'n'));
    TempEnvironment::WriteFile(env_.Path("other.zip"), kZip);
    ASSERT_EQ(mkfifo(env_.Path("fifo.krs").c_str(), 0600), 0);
    const struct {
        std::string source;
        bool ok;
    } cases[] = {
        {env_.Path("New.krs"), true},      {env_.Path("New.krs"), false},  // now exists
        {env_.Path("other.zip"), false},   {env_.Path("fifo.krs"), false},
        {env_.Path("missing.krs"), false},
    };
    for (const auto& c : cases) {
        messages_.shown.clear();
        dialog_->SetSkinChooser([&] { return c.source; });
        dialog_->InstallSkin();
        ASSERT_EQ(messages_.shown.size(), 1u) << c.source;
        // A success says where the package went, a failure why it did not.
        EXPECT_EQ(messages_.shown[0].icon,
                  c.ok ? MessageIcon::Information : MessageIcon::Warning) << c.source;
        if (c.ok) {
            EXPECT_EQ(messages_.shown[0].text, "The skin New was installed into " + users + ".");
        }
    }
    EXPECT_EQ(list->item(0)->text(), "New");
    EXPECT_EQ(TempEnvironment::ReadFile(users + "/New.krs"), std::string(200000, 'n'));
    EXPECT_FALSE(TempEnvironment::Exists(host_.program + "/skins/New.krs"));
    EXPECT_FALSE(TempEnvironment::Exists(users + "/fifo.krs"));
}

TEST_F(KalvorOptionsTest, TabsShowOnePageAtATime) {
    dialog_->show();
    EXPECT_EQ(dialog_->CurrentPage(), 1);
    EXPECT_TRUE(dialog_->Control(1120)->isVisible());
    EXPECT_FALSE(dialog_->Control(CKalvorOptions::kHotKeyList)->isVisible());
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog_->Control(CKalvorOptions::kTabHotKeys), &click);
    EXPECT_EQ(dialog_->CurrentPage(), 4);
    EXPECT_FALSE(dialog_->Control(1120)->isVisible());
    EXPECT_TRUE(dialog_->Control(CKalvorOptions::kHotKeyList)->isVisible());
    EXPECT_TRUE(dialog_->Control(CKalvorOptions::kSeekStep)->isVisible());
    dialog_->hide();
}

TEST(KalvorOptionsDecimal, EditsReadAsACReadingWouldSaturatedAtTheInt32Range) {
    const struct {
        const char* text;
        size_t max;
        int32_t value;
    } cases[] = {
        {"-5", 200, -5},
        {" 12abc", 200, 12},
        {"+7", 200, 7},
        {"", 200, 0},
        {"x1", 200, 0},
        {"1234", 2, 12},
        {"99999999999", 200, INT_MAX},
        {"-99999999999", 200, INT_MIN},
        {"2147483648", 200, INT_MAX},
        {"-2147483648", 200, INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CKalvorOptions::DecimalValue(c.text, c.max), c.value) << c.text;
}

}  // namespace
