#include "player/wizard/KalvorWizard.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <algorithm>

#include "common/TimeFields.h"
#include "platform/media/FirstFrame.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/MessageSink.h"
#include "player/menus/MenuXP.h"
#include "player/playlist/MediaLength.h"
#include "player/playlist/XCListCtrl.h"
#include "player/settings/PlayerSettings.h"
#include "player/wizard/ChooseLogo.h"
#include "player/wizard/Logo.h"
#include "player/wizard/LogoFileDialog.h"
#include "player/wizard/WizardHost.h"
#include "player/wizard/WizardPlacement.h"

namespace {

constexpr char kMessageCaption[] = "Kalvor";
constexpr uint32_t kBackground = 0xF7EFEF;
constexpr uint32_t kSelection = 0xD6ADAD;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr int kWidthUnits = 368;
constexpr int kHeightUnits = 191;
constexpr int kPreviewTimeoutMs = 3000;

// The window's layout in dialog units: x, y, width, height.
struct Place {
    int x, y, w, h;
};
constexpr Place kGroupBox{4, 2, 360, 185};
constexpr Place kSourceLabel{10, 11, 40, 8};
constexpr Place kFileName{52, 9, 306, 12};
// Begin and end: hours, minutes, seconds, fraction, each after its separator.
constexpr Place kTimeFields[8] = {{10, 27, 16, 12},  {30, 27, 14, 12},  {48, 27, 14, 12},
                                  {66, 27, 30, 12},  {110, 27, 16, 12}, {130, 27, 14, 12},
                                  {148, 27, 14, 12}, {166, 27, 30, 12}};
constexpr const char* kSeparators[8] = {"", ":", ":", ".", "--", ":", ":", "."};
constexpr Place kJobButtons[6] = {{200, 26, 34, 14},  {236, 26, 60, 14},   {298, 26, 60, 14},
                                  {10, 148, 112, 14}, {126, 148, 112, 14}, {242, 148, 116, 14}};
constexpr const char* kJobTexts[6] = {"Image",
                                      "Audio Fragment",
                                      "Video Fragment",
                                      "Merge Video Fragments",
                                      "Merge Audio Fragments",
                                      "Mix Video and Audio"};
constexpr Place kList{10, 44, 348, 100};
constexpr Place kLogoCheck{10, 168, 220, 10};
constexpr Place kLogoButton{290, 166, 68, 14};

QRect ToPixels(const DialogUnits& units, const Place& place) {
    return units.ToPixels(place.x, place.y, place.w, place.h);
}

void SetBackground(QWidget* widget, uint32_t colorRef, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(role, colorref::ToQColor(colorRef));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QFont ArialAt8() {
    QFont font("Arial");
    font.setPointSize(8);
    return font;
}

}  // namespace

CKalvorWizard::CKalvorWizard(IWizardHost& host, IProcessLauncher& launcher, QWidget* parent,
                             IMediaLength* lengths, ILogoFileDialog* logoDialog)
    : QDialog(parent),
      host_(host),
      ownLengths_(lengths ? nullptr : std::make_unique<MediaLength>()),
      lengths_(lengths ? lengths : ownLengths_.get()),
      // One thread: the lookup keeps a probe that belongs to the thread using it.
      lengthWorker_([this](const std::string& path) { return lengths_->Length(path); }, 1),
      lengthWait_(nullptr, nullptr, &lengthWorker_,
                  [this](const std::string& text) {
                      setWindowTitle(text.empty() ? QString(kWizardCaption)
                                                  : QString(kWizardCaption) + " - " +
                                                        QString::fromStdString(text));
                  }),
      ownLogoDialog_(logoDialog ? nullptr : std::make_unique<LogoFileDialog>()),
      logoDialog_(logoDialog ? logoDialog : ownLogoDialog_.get()),
      starter_(std::make_unique<JobStarter>(this, launcher)) {
    setWindowTitle(kWizardCaption);
    setModal(false);
    SetBackground(this, kBackground, QPalette::Window);
    CreateControls();
    InitList();
    InitMenu();
    logoCheck_->setChecked(host_.Settings().logoEnabled == 1);
    UpdateJobButtons();
}

CKalvorWizard::~CKalvorWizard() {
    // The workers may still report to the window.
    if (logoWorker_.joinable()) logoWorker_.join();
    starter_.reset();
}

void CKalvorWizard::CreateControls() {
    const DialogUnits units(font());
    setFixedSize(units.X(kWidthUnits), units.Y(kHeightUnits));
    auto* group = new QGroupBox(this);
    group->setGeometry(ToPixels(units, kGroupBox));
    auto* label = new QLabel("Source file:", this);
    label->setGeometry(ToPixels(units, kSourceLabel));
    fileName_ = new QLineEdit(this);
    fileName_->setReadOnly(true);
    fileName_->setFont(ArialAt8());
    fileName_->setGeometry(ToPixels(units, kFileName));

    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    for (size_t i = 0; i < timeFields_.size(); ++i) {
        const QRect field = ToPixels(units, kTimeFields[i]);
        if (*kSeparators[i]) {
            auto* separator = new QLabel(kSeparators[i], this);
            const int width = units.X(i == 4 ? 10 : 4);
            separator->setGeometry(field.x() - width, field.y(), width, field.height());
            separator->setAlignment(Qt::AlignCenter);
        }
        auto* edit = new QLineEdit(this);
        edit->setValidator(digits);
        edit->setGeometry(field);
        SetBackground(edit, kWhite, QPalette::Base);
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!fillingFields_) TrimSelected();
        });
        timeFields_[i] = edit;
    }
    for (size_t i = 0; i < jobButtons_.size(); ++i) {
        auto* button = new QPushButton(kJobTexts[i], this);
        button->setGeometry(ToPixels(units, kJobButtons[i]));
        const auto kind = static_cast<JobKind>(i + 1);
        connect(button, &QPushButton::clicked, this, [this, kind] { StartJob(kind); });
        jobButtons_[i] = button;
    }
    list_ = new XCListCtrl(this);
    list_->setGeometry(ToPixels(units, kList));
    logoCheck_ = new QCheckBox("Choose logo on top of all extracted video fragments", this);
    logoCheck_->setGeometry(ToPixels(units, kLogoCheck));
    connect(logoCheck_, &QCheckBox::toggled, this,
            [this](bool checked) { host_.Settings().logoEnabled = checked ? 1 : 0; });
    logoButton_ = new QPushButton("Choose logo...", this);
    logoButton_->setGeometry(ToPixels(units, kLogoButton));
    connect(logoButton_, &QPushButton::clicked, this, &CKalvorWizard::ChooseLogo);

    // Ctrl+Delete and the pointer are seen whichever control has them.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    installEventFilter(this);
}

void CKalvorWizard::InitList() {
    list_->SetOwner(kWizardMode, this);
    list_->SetScrollParts(nullptr);
    const QFont font = ArialAt8();
    list_->SetListFont(-font.pointSize() * logicalDpiY() / 72, 0, 0, 0, 0, font.family());
    // The times keep their whole text; a wider face takes the room from the names.
    const int time = std::max(60, list_->TimeColumnWidth());
    list_->setColumnWidth(0, std::max(0, 384 - 2 * (time - 60)));
    list_->setColumnWidth(1, time);
    list_->setColumnWidth(2, time);
    list_->SetListColors(kBlack, kWhite);
    list_->SetSelectionColors(kSelection, kWhite);
}

void CKalvorWizard::InitMenu() {
    menu_ = std::make_unique<CMenuXP>(this);
    menu_->SetBackgroundColor(kBackground);
    menu_->SetSelectionColor(kSelection);
    menu_->AppendItem(kMenuEnabled, std::make_unique<CMenuXPText>(kRemoveSelectedCommand,
                                                                  "Remove Selected Item\tDelete"));
    menu_->AppendItem(kMenuEnabled,
                      std::make_unique<CMenuXPText>(kRemoveAllCommand, "Remove All\tCtrl+Delete"));
}

PlayerSettings& CKalvorWizard::Settings() { return host_.Settings(); }

void CKalvorWizard::ShowListMenu(const QPoint& globalPos) {
    const int32_t command = menu_->TrackPopupMenu(globalPos);
    if (command != 0) RunCommand(command);
}

void CKalvorWizard::RunCommand(int32_t command) {
    if (command == kRemoveSelectedCommand) {
        list_->RemoveSelectedRows();
    } else if (command == kRemoveAllCommand) {
        list_->Entries().ClearEntries();
    } else {
        return;
    }
    UpdateJobButtons();
}

int CKalvorWizard::FirstSelectedRow() const {
    const std::vector<int> rows = list_->SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

void CKalvorWizard::FillTimeFields() {
    const int row = FirstSelectedRow();
    if (row < 0) return;
    // Every filling forgets the length: it may be another row's file now.
    durationFetched_ = false;
    cachedDuration_ = -1.0;
    ++filling_;
    const MediaEntry& entry = list_->Entries().Entry(row);
    fileName_->setText(QString::fromStdString(std::string(MediaEntryLists::FileName(entry.path))));
    if (!(entry.begin >= 0.0) || !(entry.end > 0.0)) return;
    const auto begin = SplitTimeFields(entry.begin);
    const auto end = SplitTimeFields(entry.end);
    if (!begin || !end) return;
    fillingFields_ = true;
    const TimeFieldTexts* parts[2] = {&*begin, &*end};
    for (int half = 0; half < 2; ++half) {
        const TimeFieldTexts& t = *parts[half];
        timeFields_[static_cast<size_t>(half * 4 + 0)]->setText(QString::fromStdString(t.hours));
        timeFields_[static_cast<size_t>(half * 4 + 1)]->setText(QString::fromStdString(t.minutes));
        timeFields_[static_cast<size_t>(half * 4 + 2)]->setText(QString::fromStdString(t.seconds));
        timeFields_[static_cast<size_t>(half * 4 + 3)]->setText(QString::fromStdString(t.fraction));
    }
    fillingFields_ = false;
}

void CKalvorWizard::TrimSelected() {
    const int row = FirstSelectedRow();
    if (row < 0 || list_->Entries().Count() == 0) return;
    if (!durationFetched_) {
        // The trim is made when the length is in, from the fields as they are then.
        const uint64_t filling = filling_;
        lengthWait_.ForFiles({list_->Entries().Entry(row).path},
                             [this, filling](const std::vector<double>& seconds) {
                                 if (filling != filling_) return;
                                 cachedDuration_ = seconds[0] > 0.0 ? seconds[0] : -1.0;
                                 durationFetched_ = true;
                                 TrimSelected();
                             });
        return;
    }
    auto text = [this](int i) { return timeFields_[static_cast<size_t>(i)]->text().toStdString(); };
    const double begin = JoinTimeFields(text(0), text(1), text(2), text(3));
    const double end = JoinTimeFields(text(4), text(5), text(6), text(7));
    const auto range = TrimFragment(begin, end, cachedDuration_);
    if (!range) return;
    list_->Entries().SetBegin(row, range->begin);
    list_->Entries().SetEnd(row, range->end);
}

void CKalvorWizard::UpdateJobButtons() {
    const bool any = list_->Entries().Count() > 0;
    EnableJobButtons(any ? 1 : 0);
    if (any) return;
    fillingFields_ = true;
    fileName_->clear();
    for (QLineEdit* field : timeFields_) field->clear();
    fillingFields_ = false;
}

void CKalvorWizard::EnableJobButtons(int flag) {
    if (flag != 0 && flag != 1) return;
    for (QPushButton* button : jobButtons_) button->setEnabled(flag == 1);
}

void CKalvorWizard::PlaceAndShowWizard(bool show) {
    UpdateJobButtons();
    // Shown first: the frame's size is known only once the window is.
    if (show) setVisible(true);
    move(PlaceWizard(host_.MainWindowRect(), frameGeometry().size(), host_.DesktopRect()));
    if (show)
        raise();
    else
        setVisible(false);
}

void CKalvorWizard::ShowWizard(bool show) {
    if (!isVisible()) {
        PlaceAndShowWizard(show);
        return;
    }
    UpdateJobButtons();
    if (show) {
        raise();
    } else {
        hide();
    }
}

void CKalvorWizard::AddFragment(const std::string& path, double begin, double end) {
    const int row = list_->Entries().AddEntry(-1, path, begin, end);
    if (row >= 0) list_->setCurrentIndex(list_->ItemModel().index(row, 0));
    UpdateJobButtons();
    FillTimeFields();
}

void CKalvorWizard::RemoveAllFragments() { RunCommand(kRemoveAllCommand); }

JobSnapshot CKalvorWizard::Snapshot(JobKind kind) {
    JobSnapshot snapshot;
    snapshot.kind = kind;
    for (const MediaEntry& entry : list_->Entries().Snapshot())
        snapshot.entries.push_back(JobEntry{entry.path, entry.begin, entry.end});
    snapshot.firstSelected = FirstSelectedRow();
    snapshot.subtitlesPath = host_.SubtitlesPath();
    const PlayerSettings& settings = host_.Settings();
    snapshot.logoEnabled = settings.logoEnabled == 1;
    snapshot.logoPath = fixedtext::Read(settings.logoFilePath);
    snapshot.logoX = settings.logoPosX;
    snapshot.logoY = settings.logoPosY;
    snapshot.ownerWindow = static_cast<uint32_t>(winId());
    snapshot.effects = host_.Effects();
    snapshot.appDataFolder = host_.AppDataFolder();
    snapshot.programFolder = host_.ProgramFolder();
    return snapshot;
}

bool CKalvorWizard::StartJob(JobKind kind) {
    const bool started = starter_->Start(Snapshot(kind));
    helpContext_ = starter_->HelpContext();
    return started;
}

void CKalvorWizard::ChooseLogo() {
    helpContext_ = kLogoHelpContext;
    if (logoPending_) return;
    if (!chooseLogo_) chooseLogo_ = std::make_unique<CChooseLogo>(host_.Settings(), this);
    const std::optional<std::string> path = logoDialog_->AskLogoFile(this);
    if (!path) return;
    chooseLogo_->hide();
    logoPending_ = true;
    logoButton_->setEnabled(false);
    if (logoWorker_.joinable()) logoWorker_.join();
    logoWorker_ = std::thread([this, path = *path] {
        auto frame = std::make_shared<media::FirstFrame>();
        const bool ok = media::GrabFirstFrame(path, *frame, nullptr, kPreviewTimeoutMs) ==
                        media::FirstFrameResult::Ok;
        QMetaObject::invokeMethod(
            this, [this, path, ok, frame] { FinishChooseLogo(path, ok ? frame.get() : nullptr); },
            Qt::QueuedConnection);
    });
}

void CKalvorWizard::FinishChooseLogo(const std::string& path, const media::FirstFrame* frame) {
    logoPending_ = false;
    logoButton_->setEnabled(true);
    // The old logo stays until the new one is known to show.
    if (!frame || !chooseLogo_->Logo().OpenPreview(*frame)) {
        chooseLogo_->Logo().ClosePreview();
        ShowMessage(this, kMessageCaption, kUnsupportedLogoText, MessageIcon::Warning);
        return;
    }
    PlayerSettings& settings = host_.Settings();
    if (!fixedtext::SetPath(settings.logoFilePath, path)) {
        ShowMessage(this, kMessageCaption, "The path is too long for a logo:\n" + path,
                    MessageIcon::Warning);
        return;
    }
    settings.logoPosX = 0;
    settings.logoPosY = 0;
    // A logo chosen is a logo wanted: the check box (and the setting with it) turns on.
    settings.logoEnabled = 1;
    logoCheck_->setChecked(true);
    chooseLogo_->CoverDesktop(host_.DesktopRect());
}

bool CKalvorWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_Delete && (mods & Qt::ControlModifier) &&
            !(mods & Qt::ShiftModifier))
            RunCommand(kRemoveAllCommand);
    } else if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        host_.KeepCursorShown();
    }
    return QDialog::eventFilter(watched, event);
}

void CKalvorWizard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        host_.ShowHelp(helpContext_);
        return;
    }
    QDialog::keyPressEvent(event);
}
