#include "player/options/KalvorOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/media/AudioOutputs.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/MessageSink.h"
#include "player/options/CaptureKey.h"
#include "player/options/SkinPackages.h"
#include "player/settings/SettingsFile.h"
#include "player/skin/SkinResources.h"
#include "player/skin/SkinUnpacker.h"

namespace {

constexpr char kMessageCaption[] = "Kalvor";
constexpr uint32_t kDialogColor = 0xF7EFEF;
constexpr uint32_t kTabColor = 0x928476;
constexpr uint32_t kCurrentTabColor = 0xE7DED6;
constexpr uint32_t kEvenRowColor = 0xFFEBEB;
constexpr uint32_t kOddRowColor = 0xF7F7F7;
constexpr char kSkinsFolder[] = "/skins";

enum class Kind { Tab, Label, Check, Button, Edit, List, Table, Combo };

struct Place {
    int id;
    Kind kind;
    const char* text;
    int x, y, w, h;  // dialog units
};

// Settings fields of the page-1 check boxes, in page order.
struct Switch {
    int id;
    int32_t PlayerSettings::*field;
};
constexpr Switch kSwitches[] = {
    {1120, &PlayerSettings::rememberWindowPlacement}, {1126, &PlayerSettings::alwaysOnTop},
    {1127, &PlayerSettings::autostartPlayback},       {1128, &PlayerSettings::fullScreenOnPlay},
    {1129, &PlayerSettings::moveWithMovieWindow},     {1130, &PlayerSettings::resumeLastMovie},
    {1131, &PlayerSettings::shutdownWhenFinished},    {1132, &PlayerSettings::keepEffectSettings},
    {1133, &PlayerSettings::autoLoadSubtitles},       {1134, &PlayerSettings::autoLoadLastPlaylist},
};

// The dialog, in dialog units; the dispatcher shows it at 355 x 400 pixels, or larger when
// these do not fit.
constexpr int kShownWidth = 355, kShownHeight = 400;
constexpr int kUnitsWidth = 201, kUnitsHeight = 200;
constexpr Place kPlaces[] = {
    {1121, Kind::Tab, "Interface", 3, 3, 37, 12},
    {1122, Kind::Tab, "Skins", 41, 3, 29, 12},
    {1123, Kind::Tab, "Video/Audio", 71, 3, 51, 12},
    {1124, Kind::Tab, "Hot keys", 123, 3, 40, 12},
    {1125, Kind::Tab, "About", 164, 3, 34, 12},
    {1, Kind::Button, "Apply", 88, 182, 50, 14},
    {2, Kind::Button, "Cancel", 144, 182, 50, 14},
    // Interface
    {1120, Kind::Check, "Remember window position and size", 9, 22, 185, 10},
    {1126, Kind::Check, "Always on top", 9, 34, 185, 10},
    {1127, Kind::Check, "Autostart playback", 9, 46, 185, 10},
    {1128, Kind::Check, "Autoswitch to fullscreen on play", 9, 58, 185, 10},
    {1129, Kind::Check, "Move player window with movie window", 9, 70, 185, 10},
    {1130, Kind::Check, "Remember last movie played", 9, 82, 185, 10},
    {1131, Kind::Check, "Shutdown computer when finished", 9, 94, 185, 10},
    {1132, Kind::Check, "Remember effect settings", 9, 106, 185, 10},
    {1133, Kind::Check, "Automatically find and load subtitles", 9, 118, 185, 10},
    {1134, Kind::Check, "Autoload the last playlist", 9, 130, 185, 10},
    {1138, Kind::Label, "Use Kalvor as default player:", 9, 152, 108, 10},
    {1007, Kind::Button, "Register file types", 118, 149, 75, 14},
    // Skins
    {1165, Kind::List, "", 9, 34, 184, 110},
    {1137, Kind::Label, "Choose skin from the list:", 9, 22, 180, 10},
    {1139, Kind::Label, "Add skin to the list: ", 9, 154, 100, 10},
    {1008, Kind::Button, "Open file...", 118, 151, 75, 14},
    // Video/Audio
    {1146, Kind::Label, "Custom aspect ratio:", 9, 24, 80, 10},
    {1147, Kind::Label, ":", 124, 24, 6, 10},
    {1148, Kind::Label, "For fullscreen mode switch to:", 9, 42, 180, 10},
    {1149, Kind::Label, "Output audio device:", 9, 76, 180, 10},
    {1141, Kind::Edit, "", 92, 22, 30, 12},
    {1142, Kind::Edit, "", 132, 22, 30, 12},
    {1144, Kind::Combo, "", 9, 54, 184, 14},
    {1030, Kind::Combo, "", 9, 88, 184, 14},
    {1143, Kind::Check, "Enable scan line checking when drawing", 9, 112, 184, 10},
    {1135, Kind::Check, "Check hardware overlay limitations", 9, 126, 184, 10},
    // Hot keys
    {1164, Kind::Table, "", 9, 34, 184, 104},
    {1168, Kind::Edit, "", 132, 142, 30, 12},
    {1151, Kind::Label, "Interval for rewind (seconds):", 9, 144, 120, 10},
    {1152, Kind::Label, "Choose global hot keys (available in any application):", 9, 22, 184, 10},
    {1170, Kind::Check, "Show tips", 9, 160, 120, 10},
    // About
    {1180, Kind::Label, "Kalvor", 9, 30, 184, 12},
    {1181, Kind::Label, "A skinned media player.", 9, 46, 184, 24},
};

constexpr int kPageIds[CKalvorOptions::kPages][20] = {
    {1120, 1126, 1127, 1128, 1129, 1130, 1131, 1132, 1133, 1134, 1138, 1007},
    {1165, 1137, 1139, 1008},
    {1146, 1147, 1148, 1149, 1141, 1142, 1144, 1030, 1143, 1135},
    {1164, 1168, 1151, 1152, 1170},
    {1180, 1181},
};

void Colors(QWidget* widget, uint32_t background, Qt::GlobalColor text) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colorref::ToQColor(background));
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, colorref::ToQColor(background));
    p.setColor(QPalette::Text, Qt::black);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

CKalvorOptions::CKalvorOptions(IOptionsHost* host, QWidget* parent) : QDialog(parent), host_(host) {
    setWindowTitle(kCaption);
    audioNames_ = [] { return media::AudioOutputs::Names(); };
    chooseSkin_ = [this] {
        return Text(QFileDialog::getOpenFileName(this, "Kalvor - Open Skin", QString(),
                                                 "Skin Types (*.krs)"));
    };
    // Display modes come from the X server; off X11 the list stays empty.
    if (QGuiApplication::platformName() == "xcb") {
        ownModes_ = std::make_unique<XRandrDisplayModes>();
        modes_ = ownModes_.get();
    }
    OnInitDialog();
}

CKalvorOptions::~CKalvorOptions() = default;

QWidget* CKalvorOptions::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void CKalvorOptions::OnInitDialog() {
    const DialogUnits du(font());
    Colors(this, kDialogColor, Qt::black);
    auto* area = new QWidget(this);
    area->setGeometry(du.ToPixels(3, 17, 195, 160));
    controls_[kPageArea] = area;
    for (const Place& p : kPlaces) {
        QWidget* w = nullptr;
        switch (p.kind) {
            case Kind::Tab: {
                auto* label = new QLabel(p.text, this);
                label->setAlignment(Qt::AlignCenter);
                label->installEventFilter(this);
                w = label;
                break;
            }
            case Kind::Label:
                w = new QLabel(p.text, this);
                break;
            case Kind::Check:
                w = new QCheckBox(p.text, this);
                break;
            case Kind::Button:
                w = new QPushButton(p.text, this);
                break;
            case Kind::Edit:
                w = new QLineEdit(this);
                break;
            case Kind::List:
                w = new QListWidget(this);
                break;
            case Kind::Table:
                w = new QTableWidget(this);
                break;
            case Kind::Combo:
                w = new QComboBox(this);
                break;
        }
        w->setGeometry(du.ToPixels(p.x, p.y, p.w, p.h));
        if (p.kind != Kind::Tab && p.kind != Kind::Button) Colors(w, kDialogColor, Qt::black);
        controls_[p.id] = w;
    }
    for (const auto& ids : kPageIds) {
        std::vector<int> page;
        for (int id : ids) {
            if (id == 0) break;
            page.push_back(id);
        }
        pages_.push_back(page);
    }
    fileTypes_ = new CDialogFileTypes(this);
    fileTypes_->setWindowFlag(Qt::Window);
    fileTypes_->SetMouseMoveHandler([this] { host_->KeepCursorShown(); });

    auto* skins = static_cast<QListWidget*>(Control(kSkinsList));
    skins->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* keys = static_cast<QTableWidget*>(Control(kHotKeyList));
    keys->setColumnCount(2);
    keys->setRowCount(kHotKeySlots);
    keys->horizontalHeader()->hide();
    keys->verticalHeader()->hide();
    keys->setShowGrid(true);
    keys->setSelectionBehavior(QAbstractItemView::SelectRows);
    keys->setSelectionMode(QAbstractItemView::SingleSelection);
    keys->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int column = (keys->width() - 20) / 2;
    keys->setColumnWidth(0, column);
    keys->setColumnWidth(1, column);
    keys->verticalHeader()->setMinimumSectionSize(1);
    keys->verticalHeader()->setDefaultSectionSize(du.Y(10));
    for (int slot = 0; slot < kHotKeySlots; ++slot) {
        keys->setItem(slot, 0,
                      new QTableWidgetItem(hotkeys::kActionNames[static_cast<size_t>(slot)]));
        keys->setItem(slot, 1, new QTableWidgetItem(QString()));
    }
    keys->installEventFilter(this);

    connect(static_cast<QPushButton*>(Control(kApply)), &QPushButton::clicked, this,
            [this] { OnOK(); });
    connect(static_cast<QPushButton*>(Control(kCancel)), &QPushButton::clicked, this,
            [this] { OnCancel(); });
    connect(static_cast<QPushButton*>(Control(kFileTypes)), &QPushButton::clicked, this,
            [this] { ShowFileTypes(); });
    connect(static_cast<QPushButton*>(Control(kOpenSkin)), &QPushButton::clicked, this,
            [this] { InstallSkin(); });
    static_cast<QPushButton*>(Control(kApply))->setDefault(true);

    for (int page = 2; page <= kPages; ++page)
        for (int id : pages_[static_cast<size_t>(page - 1)]) Control(id)->hide();
    page_ = 1;
    tabsReady_ = true;
    ColorTabs();
    setMouseTracking(true);
}

QSize CKalvorOptions::ShownSize() const {
    const DialogUnits du(font());
    return {std::max(kShownWidth, du.X(kUnitsWidth)), std::max(kShownHeight, du.Y(kUnitsHeight))};
}

void CKalvorOptions::ColorTabs() {
    if (!tabsReady_) return;
    for (int n = 1; n <= kPages; ++n) {
        QWidget* tab = Control(kTabInterface + n - 1);
        if (n == page_)
            Colors(tab, kCurrentTabColor, Qt::black);
        else
            Colors(tab, kTabColor, Qt::white);
    }
}

void CKalvorOptions::ShowPage(int page) {
    if (page < 1 || page > kPages || page == page_) return;
    for (int id : pages_[static_cast<size_t>(page_ - 1)]) Control(id)->hide();
    page_ = page;
    for (int id : pages_[static_cast<size_t>(page_ - 1)]) Control(id)->show();
    ColorTabs();
    Control(pages_[static_cast<size_t>(page_ - 1)].front())->setFocus();
}

// ---- loading ------------------------------------------------------------------------

void CKalvorOptions::LoadControls() {
    host_->SuspendHotKeys(true);
    const PlayerSettings& s = host_->Settings();
    LoadSkinsList();

    capture_.Load(s.hotKeys);
    auto* keys = static_cast<QTableWidget*>(Control(kHotKeyList));
    for (int slot = 0; slot < kHotKeySlots; ++slot)
        keys->item(slot, 1)->setText(
            QString::fromStdString(hotkeys::LoadText(capture_.Code(slot))));

    static_cast<QLineEdit*>(Control(kSeekStep))->setText(QString::number(s.seekStepSeconds));
    static_cast<QCheckBox*>(Control(kShowTips))->setChecked(s.showTips == 1);
    LoadDevices();
    static_cast<QCheckBox*>(Control(kScanLine))->setChecked(s.scanLineCheck == 1);
    static_cast<QCheckBox*>(Control(kOverlay))->setChecked(s.overlayLimitCheck == 1);
    static_cast<QLineEdit*>(Control(kAspectX))->setText(QString::number(s.customAspectX));
    static_cast<QLineEdit*>(Control(kAspectY))->setText(QString::number(s.customAspectY));
    LoadModes();
    for (const Switch& sw : kSwitches)
        static_cast<QCheckBox*>(Control(sw.id))->setChecked(s.*sw.field == 1);
}

void CKalvorOptions::LoadSkinsList() {
    auto* skins = static_cast<QListWidget*>(Control(kSkinsList));
    skins->clear();
    const std::string current = fixedtext::Read(host_->Settings().skinName);
    for (const std::string& name : skinpackages::ListAll(SkinFolders())) {
        skins->addItem(QString::fromStdString(name));
        if (name == current) skins->setCurrentRow(skins->count() - 1);
    }
}

void CKalvorOptions::LoadDevices() {
    auto* devices = static_cast<QComboBox*>(Control(kDevices));
    if (devices->count() <= 1) {
        devices->clear();
        devices->addItem(media::kAutodetectDevice);
        for (const std::string& name : audioNames_())
            devices->addItem(QString::fromStdString(name));
    }
    devices->setCurrentIndex(devices->findText(
        QString::fromStdString(fixedtext::Read(host_->Settings().audioDevice)), Qt::MatchExactly));
}

void CKalvorOptions::LoadModes() {
    if (!modes_) return;
    auto* modes = static_cast<QComboBox*>(Control(kModes));
    if (modes->count() <= 1) {
        modes->clear();
        modes->addItem(kUnchangedMode);
        for (const DisplayMode& m : modes_->Modes())
            modes->addItem(QString::fromStdString(displaymode::Format(m)));
    }
    const PlayerSettings& s = host_->Settings();
    const std::string chosen = (s.displayWidth != 0 || s.displayHeight != 0)
                                   ? displaymode::Format({s.displayWidth, s.displayHeight,
                                                          s.displayRefresh, s.displayBitsPerPixel})
                                   : kUnchangedMode;
    modes->setCurrentIndex(modes->findText(QString::fromStdString(chosen), Qt::MatchExactly));
}

// ---- applying -----------------------------------------------------------------------

int32_t CKalvorOptions::DecimalValue(const std::string& text, size_t maxChars) {
    const std::string t = text.substr(0, maxChars);
    size_t i = 0;
    while (i < t.size() && std::isspace(static_cast<unsigned char>(t[i]))) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    int64_t value = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        value = value * 10 + (t[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

std::vector<std::string> CKalvorOptions::SkinFolders() const {
    return skinpackages::Folders(host_->AppDataFolder(), host_->ProgramFolder());
}

bool CKalvorOptions::SwitchSkin(const std::string& name) {
    std::string package = skinpackages::Find(SkinFolders(), name);
    // Gone since the list was filled: the message names where it was looked for last.
    if (package.empty())
        package = host_->ProgramFolder() + kSkinsFolder + "/" + name + skinpackages::kExtension;
    // A package that is no archive is refused while the shown skin is still in place.
    if (!skinpackages::LooksLikePackage(package)) {
        ShowMessage(this, kMessageCaption,
                    SkinUnpacker::FailureMessage(package, SkinUnpacker::kNotAnArchive),
                    MessageIcon::Error);
        return true;
    }
    if (host_->ChangeSkin(package)) {
        fixedtext::SetPath(host_->Settings().skinName, name);
        return true;
    }
    return host_->ChangeSkin(host_->CurrentSkinPackage());
}

void CKalvorOptions::ApplyOptions() {
    PlayerSettings& s = host_->Settings();
    bool skinLost = false;
    if (auto* row = static_cast<QListWidget*>(Control(kSkinsList))->currentItem()) {
        const std::string name = Text(row->text()).substr(0, 5000);
        if (name != fixedtext::Read(s.skinName)) skinLost = !SwitchSkin(name);
    }
    capture_.Store(s.hotKeys);
    s.seekStepSeconds =
        std::max(0, DecimalValue(Text(static_cast<QLineEdit*>(Control(kSeekStep))->text()), 200));
    s.showTips = static_cast<QCheckBox*>(Control(kShowTips))->isChecked() ? 1 : 0;
    const auto* devices = static_cast<QComboBox*>(Control(kDevices));
    if (devices->currentIndex() >= 0)
        fixedtext::SetPath(s.audioDevice, Text(devices->currentText()));
    s.scanLineCheck = static_cast<QCheckBox*>(Control(kScanLine))->isChecked() ? 1 : 0;
    s.overlayLimitCheck = static_cast<QCheckBox*>(Control(kOverlay))->isChecked() ? 1 : 0;
    const auto* modes = static_cast<QComboBox*>(Control(kModes));
    if (modes->currentIndex() >= 0) {
        const std::string mode = Text(modes->currentText());
        if (mode == kUnchangedMode) {
            s.displayWidth = 0;
            s.displayHeight = 0;
        } else if (const auto m = displaymode::Parse(mode)) {
            s.displayWidth = m->width;
            s.displayHeight = m->height;
            s.displayRefresh = m->refresh;
            s.displayBitsPerPixel = m->bitsPerPixel;
        }
    }
    s.customAspectX = DecimalValue(Text(static_cast<QLineEdit*>(Control(kAspectX))->text()), 50);
    s.customAspectY = DecimalValue(Text(static_cast<QLineEdit*>(Control(kAspectY))->text()), 50);
    for (const Switch& sw : kSwitches)
        s.*sw.field = static_cast<QCheckBox*>(Control(sw.id))->isChecked() ? 1 : 0;

    std::string error;
    if (!SaveSettings(FoldLiveState(s, host_->LiveState()), host_->UserConfigFolder(), &error))
        ShowMessage(this, kMessageCaption, kOptionsWriteFailedText + error, MessageIcon::Error);
    host_->RestoreZOrder();
    // With no skin left to show the player ends; the edits above are already in the record.
    if (skinLost) host_->ExitPlayer();
}

void CKalvorOptions::OnOK() {
    host_->SuspendHotKeys(false);
    ApplyOptions();
    fileTypes_->hide();
    hide();
    host_->AfterOptionsClosed();
}

void CKalvorOptions::OnCancel() {
    host_->SuspendHotKeys(false);
    fileTypes_->hide();
    hide();
    host_->AfterOptionsClosed();
}

void CKalvorOptions::reject() { OnCancel(); }

void CKalvorOptions::ShowFileTypes() {
    fileTypes_->RefreshList();
    fileTypes_->move(geometry().center() - fileTypes_->rect().center());
    fileTypes_->show();
}

void CKalvorOptions::InstallSkin() {
    const std::string source = chooseSkin_();
    if (source.empty()) return;
    std::string name, error;
    const std::string folder = SkinFolders().front();
    if (!skinpackages::Install(source, folder, name, error)) {
        ShowMessage(this, kMessageCaption, error, MessageIcon::Warning);
        return;
    }
    static_cast<QListWidget*>(Control(kSkinsList))->insertItem(0, QString::fromStdString(name));
    ShowMessage(this, kMessageCaption, "The skin " + name + " was installed into " + folder + ".",
                MessageIcon::Information);
}

// ---- events -------------------------------------------------------------------------

bool CKalvorOptions::CaptureKey(QKeyEvent* event) {
    auto* keys = static_cast<QTableWidget*>(Control(kHotKeyList));
    const auto selected = keys->selectionModel()->selectedRows();
    const int slot = selected.isEmpty() ? -1 : selected.front().row();
    const CapturedKey key = CaptureKeyOf(*event);
    std::string text;
    if (!capture_.Capture(slot, key.vk, key.modifiers, text)) return false;
    keys->item(slot, 1)->setText(QString::fromStdString(text));
    return true;
}

bool CKalvorOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == Control(kHotKeyList)) {
        if (CaptureKey(static_cast<QKeyEvent*>(event))) return true;
    } else if (event->type() == QEvent::MouseButtonPress) {
        for (int n = 1; n <= kPages; ++n)
            if (watched == Control(kTabInterface + n - 1)) {
                ShowPage(n);
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void CKalvorOptions::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        host_->ShowHelp(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CKalvorOptions::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = Control(kPageArea)->geometry();
    const QColor even = colorref::ToQColor(kEvenRowColor);
    const QColor odd = colorref::ToQColor(kOddRowColor);
    for (int y = 0; y < height(); ++y) {
        p.setPen(y % 2 == 0 ? even : odd);
        if (y > area.top() + 5 && y < area.bottom()) {
            p.drawLine(0, y, area.left() - 1, y);
            p.drawLine(area.right() + 1, y, width() - 1, y);
        } else {
            p.drawLine(0, y, width() - 1, y);
        }
    }
}

void CKalvorOptions::mouseMoveEvent(QMouseEvent* event) {
    host_->KeepCursorShown();
    QDialog::mouseMoveEvent(event);
}
