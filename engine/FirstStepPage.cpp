#include "engine/FirstStepPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <algorithm>

#include "engine/FolderPicker.h"
#include "platform/ui/MessageSink.h"

namespace {

constexpr int kWidth = 290, kHeight = 190;
constexpr int kMargin = 8;

bool AnyMark(const std::vector<uint8_t>& marks) {
    return std::any_of(marks.begin(), marks.end(), [](uint8_t mark) { return mark != 0; });
}

bool AnyInputHasVideo(const WizardState& state) { return AnyMark(state.fragmentHasVideo); }

}  // namespace

CFirstStepPage::CFirstStepPage(WizardState& state, WizardPageId page, IFolderPicker& picker,
                               QWidget* parent)
    : CWizardPage(state, page, kWidth, kHeight, parent), picker_(picker) {
    // Options another choice rules out are settled before anything shows them.
    if (page == WizardPageId::ExtractVideo && state_.fastAllowed != 1) state_.fastMode = 0;
    if (page == WizardPageId::ExtractVideo && !AnyMark(state_.fragmentHasAudio))
        state_.withAudio = 0;
    if (page == WizardPageId::Mix && !AnyInputHasVideo(state_)) state_.mixVideo = 0;

    AddText(0, "Output file name:", kMargin, kMargin, 200);
    name_ = Place(new QLineEdit, kNameEdit, kMargin, 20, 200, 14);
    name_->setMaxLength(static_cast<int>(kFileNameLimit));
    AddText(0, "Output folder:", kMargin, 40, 200);
    QLabel* folder =
        AddText(kFolderText, QString::fromStdString(state_.outputFolder), kMargin, 52, 214, 14);
    folder->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPushButton* browse = AddButton(kBrowseButton, "Browse", 228, 52, 54);

    int y = 76;
    AddOptions(y);

    forward_ = AddButton(kButtonForward, "", 172, 168, 55);
    QPushButton* cancel = AddButton(kButtonCancel, kCancelText, 232, 168, 50);
    forward_->setDefault(true);

    connect(name_, &QLineEdit::textChanged, this, [this](const QString& text) {
        state_.fileName = BoundedFileName(text.toStdString());
        forward_->setEnabled(FileNameUsable(state_.fileName));
    });
    connect(browse, &QPushButton::clicked, this, &CFirstStepPage::Browse);
    connect(forward_, &QPushButton::clicked, this, &CFirstStepPage::Forward);
    connect(cancel, &QPushButton::clicked, this, &CFirstStepPage::EndCancel);

    forward_->setEnabled(false);
    name_->setText(QString::fromStdString(state_.fileName));
    forward_->setEnabled(FileNameUsable(state_.fileName));
    Refresh();
}

void CFirstStepPage::AddOptions(int& y) {
    for (const OptionGroup& group : FirstStepOptions(Page())) {
        auto* buttons = new QButtonGroup(this);
        for (const RadioOption* option : {&group.first, &group.second}) {
            auto* radio = Place(new QRadioButton(QString::fromUtf8(option->text)), option->id,
                                kMargin, y, 270, 12);
            radio->setChecked(state_.*group.flag == option->value);
            buttons->addButton(radio);
            connect(radio, &QRadioButton::clicked, this,
                    [this, &group, option] { OptionClicked(group, *option); });
            y += 13;
        }
        y += 6;
    }
    if (Page() == WizardPageId::ExtractImage) {
        auto* slider = Place(new QSlider(Qt::Horizontal), kQualitySlider, kMargin, y, 200, 14);
        QLabel* shown = AddText(kQualityText, "", 214, y + 2, 30);
        slider->setRange(0, 100);
        slider->setValue(std::clamp(state_.imageQuality, 0, 100));
        shown->setText(QString::number(ShownImageQuality(slider->value())));
        connect(slider, &QSlider::valueChanged, shown,
                [shown](int value) { shown->setText(QString::number(ShownImageQuality(value))); });
    }
}

void CFirstStepPage::OptionClicked(const OptionGroup& group, const RadioOption& option) {
    state_.*group.flag = option.value;
    Refresh();
}

void CFirstStepPage::Refresh() {
    setWindowTitle(QString::fromStdString(FirstStepCaption(Page(), state_)));
    forward_->setText(QString::fromStdString(FirstStepButtonText(Page(), state_)));
    if (Page() == WizardPageId::ExtractVideo) {
        for (int id : {212, 213}) Control<QRadioButton>(id)->setEnabled(state_.fastAllowed == 1);
        Control<QRadioButton>(217)->setEnabled(AnyMark(state_.fragmentHasAudio));
    } else if (Page() == WizardPageId::Mix) {
        // The output format is kept while mixing video, only not offered.
        Control<QRadioButton>(217)->setEnabled(AnyInputHasVideo(state_));
        for (int id : {212, 213}) Control<QRadioButton>(id)->setEnabled(state_.mixVideo != 1);
    }
}

void CFirstStepPage::Browse() {
    const std::optional<std::string> folder =
        picker_.PickFolder(this, kSelectFolderTitle, state_.outputFolder);
    if (!folder) return;
    state_.outputFolder = *folder;
    Control<QLabel>(kFolderText)->setText(QString::fromStdString(*folder));
}

void CFirstStepPage::Forward() {
    state_.fileName = BoundedFileName(name_->text().toStdString());
    if (!FileNameUsable(state_.fileName)) return;
    if (HasSpecialCharacter(state_.fileName)) {
        ShowMessage(this, kWizardCaption, kSpecialCharactersMessage, MessageIcon::None);
        return;
    }
    for (const OptionGroup& group : FirstStepOptions(Page())) {
        if (Control<QRadioButton>(group.first.id)->isChecked())
            state_.*group.flag = group.first.value;
        if (Control<QRadioButton>(group.second.id)->isChecked())
            state_.*group.flag = group.second.value;
    }
    if (Page() == WizardPageId::ExtractImage)
        state_.imageQuality = Control<QLabel>(kQualityText)->text().toInt();
    BuildFirstStepPaths(Page(), state_);
    EndForward();
}
