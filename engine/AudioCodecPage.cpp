#include "engine/AudioCodecPage.h"

#include <gst/gst.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "engine/CodecPageRules.h"
#include "engine/EncoderSetup.h"
#include "engine/GraphError.h"
#include "platform/media/GstInit.h"

namespace {

constexpr int kWidth = 300, kHeight = 200;

bool FactoryExists(const std::string& name) {
    media::InitGStreamer();
    GstElementFactory* factory = gst_element_factory_find(name.c_str());
    if (!factory) return false;
    gst_object_unref(factory);
    return true;
}

}  // namespace

CAudioCodecPage::CAudioCodecPage(WizardState& state, const CodecCatalogue& catalogue,
                                 QWidget* parent)
    : CWizardPage(state, WizardPageId::AudioCodec, kWidth, kHeight, parent), catalogue_(catalogue) {
    setWindowTitle(QString::fromStdString(state_.stepCaption));

    list_ = Place(new QTreeWidget, kCodecList, 8, 8, 284, 80);
    list_->setColumnCount(1);
    list_->setHeaderLabel(QString());
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->addTopLevelItem(new QTreeWidgetItem(QStringList(kUncompressedRow)));
    for (const CodecEntry& entry : catalogue_.Audio(AudioWriterOf(state_))) {
        if (list_->topLevelItemCount() >= kMaxCodecRows) break;
        list_->addTopLevelItem(
            new QTreeWidgetItem(QStringList(QString::fromStdString(entry.displayName))));
    }

    AddText(kAudioParametersText, "Choose audio parameters (Channels, Frequency, Bitrate):", 8, 94,
            284);
    formats_ = Place(new QComboBox, kFormatList, 8, 106, 200, 14);
    AddText(static_cast<int>(LameControl::RateLabel), "Frequency:", 8, 108, 44);
    auto* rate = Place(new QComboBox, static_cast<int>(LameControl::RateCombo), 52, 106, 60, 14);
    AddText(static_cast<int>(LameControl::BitrateLabel), "Bitrate:", 120, 108, 34);
    auto* bitrate =
        Place(new QComboBox, static_cast<int>(LameControl::BitrateCombo), 154, 106, 50, 14);
    Place(new QCheckBox("Stereo"), static_cast<int>(LameControl::StereoBox), 214, 107, 60, 12);
    for (QComboBox* combo : {rate, bitrate}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    for (LameControl control :
         {LameControl::RateCombo, LameControl::RateLabel, LameControl::BitrateCombo,
          LameControl::BitrateLabel, LameControl::StereoBox})
        SetControlVisible(control, false);

    QPushButton* back = AddButton(kButtonBack, kBackText, 118, 176, 55);
    QPushButton* forward =
        AddButton(kButtonForward, QString::fromStdString(state_.defaultButtonText), 177, 176, 55);
    QPushButton* cancel = AddButton(kButtonCancel, kCancelText, 236, 176, 55);
    forward->setDefault(true);
    connect(back, &QPushButton::clicked, this, &CAudioCodecPage::Back);
    connect(forward, &QPushButton::clicked, this, &CAudioCodecPage::Forward);
    connect(cancel, &QPushButton::clicked, this, [this] {
        state_.mp3ControlsFilled = 0;
        EndCancel();
    });

    // The runner sets -1 before the first showing. Only then do the preferred names choose,
    // the MP3 encoder's among them; after "<- Back" the earlier row and format stay.
    const bool firstShowing = state_.chosenAudioCodec < 0;
    if (firstShowing)
        state_.chosenAudioCodec = DefaultAudioRow(catalogue_, AudioWriterOf(state_),
                                                  state_.preferredCodec1, state_.preferredCodec2);
    const int systemRows = list_->topLevelItemCount() - 1;
    if (AddLameEncoderItem(state_, catalogue_, systemRows,
                           firstShowing ? state_.preferredCodec1 : std::string()))
        list_->addTopLevelItem(new QTreeWidgetItem(QStringList(kMp3EncoderItem)));
    if (state_.chosenAudioCodec >= list_->topLevelItemCount()) state_.chosenAudioCodec = 0;

    QTreeWidgetItem* chosen = list_->topLevelItem(state_.chosenAudioCodec);
    list_->setCurrentItem(chosen);
    list_->scrollToItem(chosen);
    list_->setFocus();
    ShowFormats(!firstShowing && state_.chosenAudioFormat >= 0);

    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) Choose(list_->indexOfTopLevelItem(item));
    });
    connect(formats_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_ && index >= 0) state_.chosenAudioFormat = index;
    });
    connect(rate, &QComboBox::activated, this, [this](int position) {
        SetComboText(LameControl::BitrateCombo, LameBitrateForRatePosition(position));
    });
}

void CAudioCodecPage::Choose(int row) {
    if (row < 0) return;
    state_.chosenAudioCodec = row;
    ShowFormats(false);
}

void CAudioCodecPage::ShowFormats(bool keepFormat) {
    auto emptyList = [this] {
        filling_ = true;
        formats_->clear();
        formats_->setEnabled(false);
        filling_ = false;
        state_.audioFormats.clear();
        state_.chosenAudioFormat = -1;
    };
    if (catalogue_.IsMp3Row(state_.chosenAudioCodec, AudioWriterOf(state_))) {
        UpdateLameControls();
        state_.audioFormats.clear();
        state_.chosenAudioFormat = -1;
        return;
    }
    HideLameControls(*this);
    const CodecEntry* entry = catalogue_.AudioRow(state_.chosenAudioCodec, AudioWriterOf(state_));
    if (!entry) {
        emptyList();
        return;
    }
    if (!FactoryExists(entry->factoryName)) {
        // The list keeps what it showed: the report says why nothing changed.
        ReportGraphError(state_.ownerWindow,
                         "The GStreamer element \"" + entry->factoryName + "\" cannot be created.");
        return;
    }
    std::vector<AudioFormat> listed = ListAudioFormats(entry->factoryName);
    if (listed.empty()) {
        emptyList();
        return;
    }
    filling_ = true;
    formats_->clear();
    for (const AudioFormat& format : listed)
        formats_->addItem(QString::fromStdString(AudioFormatText(format)));
    formats_->setEnabled(true);
    const bool kept = keepFormat && state_.chosenAudioFormat >= 0 &&
                      state_.chosenAudioFormat < static_cast<int32_t>(listed.size());
    if (!kept)
        state_.chosenAudioFormat = NearestAudioFormat(listed, state_.sourceSampleRate,
                                                      state_.sourceChannels, state_.sourceBitrate);
    formats_->setCurrentIndex(state_.chosenAudioFormat);
    filling_ = false;
    state_.audioFormats = std::move(listed);
}

void CAudioCodecPage::UpdateLameControls() {
    SetControlVisible(LameControl::FormatList, false);
    for (LameControl control :
         {LameControl::RateCombo, LameControl::RateLabel, LameControl::BitrateCombo,
          LameControl::BitrateLabel, LameControl::StereoBox})
        SetControlVisible(control, true);
    if (state_.mp3ControlsFilled != 0) return;
    FillLameCombos(*this);
    state_.mp3ControlsFilled = 1;
    if (state_.mp3SampleRate == 0) {
        const LameDefaults defaults = LameDefaultsFor(state_.sourceSampleRate);
        SetComboText(LameControl::RateCombo, defaults.rate);
        SetComboText(LameControl::BitrateCombo, defaults.bitrate);
        SetStereoChecked(true);
        ReadLameControls(*this, state_);
    } else {
        WriteLameControls(*this, state_);
    }
}

void CAudioCodecPage::ReadMp3Settings() {
    if (state_.mp3ControlsFilled != 0) ReadLameControls(*this, state_);
    state_.mp3ControlsFilled = 0;
}

void CAudioCodecPage::Forward() {
    // With no row selected the earlier choice stands.
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (!selected.isEmpty()) state_.chosenAudioCodec = list_->indexOfTopLevelItem(selected.front());
    ReadMp3Settings();
    EndForward();
}

void CAudioCodecPage::Back() {
    ReadMp3Settings();
    EndBack();
}

void CAudioCodecPage::SetComboItems(LameControl combo, const std::vector<std::string>& items) {
    auto* box = Control<QComboBox>(static_cast<int>(combo));
    box->clear();
    for (const std::string& item : items) box->addItem(QString::fromStdString(item));
}

std::string CAudioCodecPage::ComboText(LameControl combo) const {
    return Control<QComboBox>(static_cast<int>(combo))->currentText().toStdString();
}

void CAudioCodecPage::SetComboText(LameControl combo, const std::string& text) {
    Control<QComboBox>(static_cast<int>(combo))->setEditText(QString::fromStdString(text));
}

bool CAudioCodecPage::StereoChecked() const {
    return Control<QCheckBox>(static_cast<int>(LameControl::StereoBox))->isChecked();
}

void CAudioCodecPage::SetStereoChecked(bool checked) {
    Control<QCheckBox>(static_cast<int>(LameControl::StereoBox))->setChecked(checked);
}

void CAudioCodecPage::SetControlVisible(LameControl control, bool visible) {
    findChild<QWidget*>(ControlName(static_cast<int>(control)), Qt::FindDirectChildrenOnly)
        ->setVisible(visible);
}
