#include "engine/VideoCodecPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <algorithm>

#include "engine/CodecPageRules.h"
#include "engine/EncoderTuning.h"

namespace {

constexpr int kWidth = 300, kHeight = 200;

}  // namespace

CVideoCodecPage::CVideoCodecPage(WizardState& state, const CodecCatalogue& catalogue,
                                 QWidget* parent)
    : CWizardPage(state, WizardPageId::VideoCodec, kWidth, kHeight, parent), catalogue_(catalogue) {
    setWindowTitle(QString::fromStdString(state_.stepCaption));

    list_ = Place(new QTreeWidget, kCodecList, 8, 8, 284, 80);
    list_->setColumnCount(1);
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->addTopLevelItem(new QTreeWidgetItem(QStringList(kUncompressedRow)));
    for (const CodecEntry& entry : catalogue_.Video()) {
        if (list_->topLevelItemCount() >= kMaxCodecRows) break;
        list_->addTopLevelItem(
            new QTreeWidgetItem(QStringList(QString::fromStdString(entry.displayName))));
    }
    list_->setHeaderLabel(QString("Video Codecs (%1 found)").arg(list_->topLevelItemCount()));

    // The sliders keep the state's value until moved: a probed rate above 30 stays as it is.
    AddSlider(kFrameRateSlider, kFrameRateText, 94, "Frame rate:", 1, 30, state_.frameRate,
              &WizardState::frameRate);
    AddSlider(kKeyFrameSlider, kKeyFrameText, 110, "Key frame every:", 1, 100, state_.keyFrameRate,
              &WizardState::keyFrameRate);
    AddSlider(kVideoQualitySlider, kVideoQualityText, 126, "Quality:", 0, 100, state_.quality,
              &WizardState::quality);
    AddText(kKeyFrameNotSupported, "Not supported", 80, 110, 150);
    AddText(kQualityNotSupported, "Not supported", 80, 126, 150);

    AddText(0, "Width:", 8, 146, 40);
    AddSizeEdit(kWidthEdit, 50, &WizardState::width, kMaxWidth);
    AddText(0, "Height:", 100, 146, 40);
    AddSizeEdit(kHeightEdit, 142, &WizardState::height, kMaxHeight);

    QPushButton* back = AddButton(kButtonBack, kBackText, 118, 176, 55);
    QPushButton* forward =
        AddButton(kButtonForward, QString::fromStdString(state_.defaultButtonText), 177, 176, 55);
    QPushButton* cancel = AddButton(kButtonCancel, kCancelText, 236, 176, 55);
    forward->setDefault(true);
    connect(back, &QPushButton::clicked, this, &CVideoCodecPage::EndBack);
    connect(forward, &QPushButton::clicked, this, &CVideoCodecPage::Forward);
    connect(cancel, &QPushButton::clicked, this, &CVideoCodecPage::EndCancel);

    // The runner sets -1 before the first showing; after "<- Back" the earlier row stays.
    const int rows = list_->topLevelItemCount();
    if (state_.chosenVideoCodec < 0 || state_.chosenVideoCodec >= rows)
        state_.chosenVideoCodec =
            DefaultVideoRow(catalogue_, state_.preferredCodec1, state_.preferredCodec2);
    QTreeWidgetItem* chosen = list_->topLevelItem(state_.chosenVideoCodec);
    list_->setCurrentItem(chosen);
    list_->scrollToItem(chosen);
    list_->setFocus();
    ShowSliders();
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) Choose(list_->indexOfTopLevelItem(item));
    });
}

QSlider* CVideoCodecPage::AddSlider(int id, int textId, int y, const char* label, int low, int high,
                                    int value, int32_t WizardState::*field) {
    AddText(0, label, 8, y, 70);
    auto* slider = Place(new QSlider(Qt::Horizontal), id, 80, y, 150, 12);
    QLabel* shown = AddText(textId, QString::number(value), 236, y, 40);
    slider->setRange(low, high);
    slider->setValue(value);
    connect(slider, &QSlider::valueChanged, this, [this, shown, field](int moved) {
        state_.*field = moved;
        shown->setText(QString::number(moved));
    });
    return slider;
}

void CVideoCodecPage::AddSizeEdit(int id, int x, int32_t WizardState::*field, int32_t maximum) {
    state_.*field = ClampSize(state_.*field, maximum);
    auto* edit = Place(new QLineEdit(QString::number(state_.*field)), id, x, 144, 40, 14);
    connect(edit, &QLineEdit::textChanged, this, [this, edit, field, maximum](const QString& text) {
        if (editing_) return;
        const SizeEdit parsed = ParseSizeEdit(text.toStdString(), state_.*field, maximum);
        state_.*field = parsed.value;
        if (parsed.text != text.toStdString()) {
            editing_ = true;
            edit->setText(QString::fromStdString(parsed.text));
            editing_ = false;
        }
    });
}

void CVideoCodecPage::Choose(int row) {
    if (row < 0) return;
    state_.chosenVideoCodec = row;
    ShowSliders();
}

void CVideoCodecPage::ShowSliders() {
    const CodecEntry* entry = catalogue_.VideoRow(state_.chosenVideoCodec);
    const int32_t mask = entry ? entry->mask : 0;
    const bool quality = (mask & kCodecCanQuality) != 0;
    const bool keyFrame = (mask & kCodecCanKeyFrame) != 0;
    for (int id : {kVideoQualitySlider, kVideoQualityText})
        findChild<QWidget*>(ControlName(id))->setVisible(quality);
    Control<QLabel>(kQualityNotSupported)->setVisible(!quality);
    for (int id : {kKeyFrameSlider, kKeyFrameText})
        findChild<QWidget*>(ControlName(id))->setVisible(keyFrame);
    Control<QLabel>(kKeyFrameNotSupported)->setVisible(!keyFrame);
}

void CVideoCodecPage::Forward() {
    // With no row selected the earlier choice stands: -1 would name no encoder at all.
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (!selected.isEmpty()) state_.chosenVideoCodec = list_->indexOfTopLevelItem(selected.front());
    EndForward();
}
