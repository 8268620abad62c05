#pragma once

// "Kalvor Options": the settings record on five pages (interface switches, skins, video
// and audio, hot keys, about), with Apply writing options.cfg and switching the skin at
// once. Created hidden at start-up; each showing loads the controls from the record, and
// the global hot keys stay off while it is shown.

#include <QDialog>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/DisplayModes.h"
#include "player/options/DialogFileTypes.h"
#include "player/options/HotKeyCapture.h"
#include "player/options/OptionsHost.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

inline constexpr char kOptionsWriteFailedText[] = "Can't save options.cfg: ";

class CKalvorOptions : public QDialog {
public:
    static constexpr char kCaption[] = "Kalvor Options";
    static constexpr char kUnchangedMode[] = "UNCHANGED";
    static constexpr int kPages = 5;
    static constexpr int kHelpContext = 4;
    // Control ids of the pages, their tabs, the page area and the two buttons.
    enum : int {
        kTabInterface = 1121,
        kTabSkins = 1122,
        kTabVideoAudio = 1123,
        kTabHotKeys = 1124,
        kTabAbout = 1125,
        kPageArea = 1016,
        kApply = 1,
        kCancel = 2,
        kSkinsList = 1165,
        kOpenSkin = 1008,
        kFileTypes = 1007,
        kAspectX = 1141,
        kAspectY = 1142,
        kModes = 1144,
        kDevices = 1030,
        kScanLine = 1143,
        kOverlay = 1135,
        kHotKeyList = 1164,
        kSeekStep = 1168,
        kShowTips = 1170,
    };

    CKalvorOptions(IOptionsHost* host, QWidget* parent);
    ~CKalvorOptions() override;

    // Seams for tests: the display modes (none off X11), the audio outputs' names and the
    // skin file chooser (empty: cancelled).
    void SetDisplayModes(IDisplayModes* modes) { modes_ = modes; }
    void SetAudioOutputNames(std::function<std::vector<std::string>()> names) {
        audioNames_ = std::move(names);
    }
    void SetSkinChooser(std::function<std::string()> chooser) { chooseSkin_ = std::move(chooser); }

    void LoadControls();
    void ApplyOptions();
    void OnOK();
    void OnCancel();
    void ShowFileTypes();
    // Page 1..5.
    void ShowPage(int page);
    void InstallSkin();

    // The size the Options command shows the dialog at: 355 x 400, or what its pages need
    // at a larger font.
    QSize ShownSize() const;
    int CurrentPage() const { return page_; }
    QWidget* Control(int id) const;
    CDialogFileTypes* FileTypes() const { return fileTypes_; }
    const HotKeyCapture& HotKeys() const { return capture_; }

    // The decimal value of an edit's first maxChars characters as a C reading takes it
    // (blanks, a sign, digits), saturated at the int32 range.
    static int32_t DecimalValue(const std::string& text, size_t maxChars);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void OnInitDialog();
    void ColorTabs();
    bool CaptureKey(QKeyEvent* event);
    void LoadSkinsList();
    void LoadDevices();
    void LoadModes();
    // The skin named in the list in place of the shown one; false only when neither the
    // new nor the previous skin could be loaded.
    bool SwitchSkin(const std::string& name);
    // Where packages are looked up, the one installing writes to first.
    std::vector<std::string> SkinFolders() const;

    IOptionsHost* host_;
    std::map<int, QWidget*> controls_;
    std::vector<std::vector<int>> pages_;
    int page_ = 1;
    bool tabsReady_ = false;
    HotKeyCapture capture_;
    CDialogFileTypes* fileTypes_ = nullptr;
    std::unique_ptr<XRandrDisplayModes> ownModes_;
    IDisplayModes* modes_ = nullptr;
    std::function<std::vector<std::string>()> audioNames_;
    std::function<std::string()> chooseSkin_;
};
