#include "player/playback/MediaProperties.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/ColorRef.h"
#include "platform/ui/EncoderPropertyDialog.h"

namespace {

constexpr uint32_t kBoxColour = 0xF7EFEF;
constexpr uint32_t kEvenRowColour = 0xFFEBEB;
constexpr uint32_t kOddRowColour = 0xF7F7F7;

struct ValueRow {
    int id;
    const char* label;
    int group;  // 1: video, 2: audio
};
constexpr ValueRow kRows[] = {
    {1186, "Stream length:", 1}, {1187, "Frame resolution:", 1},
    {1188, "Frame rate:", 1},    {1189, "FOURCC:", 1},
    {1190, "Depth:", 1},         {1192, "Sampling rate:", 2},
    {1193, "Channels:", 2},      {1195, "Average bitrate:", 2},
};

}  // namespace

CMediaProperties::CMediaProperties(IMediaInfoSource* source, QWidget* parent)
    : QDialog(parent), source_(source) {
    setWindowTitle(QStringLiteral("Media Properties"));
    setModal(false);
    setCursor(Qt::ArrowCursor);
    QPalette look = palette();
    look.setColor(QPalette::Window, colorref::ToQColor(kBoxColour));
    setPalette(look);
    opener_ = [](GstElement* element, QWidget* owner) {
        CEncoderPropertyDialog dialog(element, owner);
        dialog.exec();
    };

    auto* layout = new QVBoxLayout(this);
    auto* filterGroup = new QGroupBox(QStringLiteral("Filters"), this);
    auto* filterRow = new QHBoxLayout(filterGroup);
    filters_ = new QComboBox(filterGroup);
    filters_->setObjectName(QStringLiteral("1185"));
    auto* properties = new QPushButton(QStringLiteral("Properties"), filterGroup);
    properties->setObjectName(QStringLiteral("1001"));
    filterRow->addWidget(filters_, 1);
    filterRow->addWidget(properties);
    layout->addWidget(filterGroup);
    connect(filters_, &QComboBox::activated, this, [this](int index) { selected_ = index; });
    connect(properties, &QPushButton::clicked, this, [this] { OpenProperties(); });

    auto* video = new QGroupBox(QStringLiteral("Video Stream"), this);
    auto* audio = new QGroupBox(QStringLiteral("Audio Stream"), this);
    auto* videoForm = new QFormLayout(video);
    auto* audioForm = new QFormLayout(audio);
    size_t i = 0;
    for (const ValueRow& row : kRows) {
        auto* value = new QLabel(this);
        value->setObjectName(QString::number(row.id));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        (row.group == 1 ? videoForm : audioForm)->addRow(QString::fromLatin1(row.label), value);
        values_[i++] = {row.id, value};
    }
    layout->addWidget(video);
    layout->addWidget(audio);
    groups_ = {filterGroup, video, audio};

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMediaProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMediaProperties::reject);
    layout->addWidget(buttons);
}

CMediaProperties::~CMediaProperties() = default;

QString CMediaProperties::ValueText(int id) const {
    for (const auto& [valueId, label] : values_) {
        if (valueId == id) return label->text();
    }
    return {};
}

void CMediaProperties::ShowMediaInfo() {
    if (!source_) return;
    const MediaInfoFacts facts = source_->Facts();
    const MediaInfoTexts texts = mediainfo::Format(facts);
    const std::string* ordered[] = {&texts.streamLength, &texts.resolution, &texts.frameRate,
                                    &texts.fourCC,       &texts.depth,      &texts.sampleRate,
                                    &texts.channels,     &texts.bitRate};
    for (size_t i = 0; i < values_.size(); ++i) {
        values_[i].second->setText(QString::fromStdString(*ordered[i]));
    }
    adjustSize();
    const QRect anchor = facts.hasVideo ? source_->VideoWindowRect() : source_->MainWindowRect();
    move(mediainfo::Place(anchor, size(), source_->DesktopRect()));
    ListFilterPages();
    selected_ = 0;
    frameOpen_ = false;
    filters_->setCurrentIndex(filters_->count() > 0 ? 0 : -1);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    show();
    raise();
}

void CMediaProperties::ListFilterPages() {
    filters_->clear();
    list_.Refill(source_ ? source_->Graph() : nullptr);
    for (size_t i = 0; i < list_.Count(); ++i)
        filters_->addItem(QString::fromStdString(list_.Name(i)));
    selected_ = filters_->count() > 0 ? std::min(selected_, filters_->count() - 1) : 0;
}

void CMediaProperties::ReleaseFilters() {
    // An element's settings still open belong to the graph that goes: they close unwritten.
    for (auto* open : findChildren<CEncoderPropertyDialog*>()) open->reject();
    filters_->clear();
    list_.Release();
    selected_ = 0;
}

void CMediaProperties::OpenProperties() {
    if (frameOpen_ || selected_ < 0 || selected_ >= filters_->count()) return;
    GstElement* element = list_.Element(static_cast<size_t>(selected_));
    if (!element || !opener_) return;
    // Held for the dialog's life, even if the list is refilled meanwhile.
    const media::ElementRef held = media::ElementRef::Share(element);
    frameOpen_ = true;
    opener_(held.get(), this);
    frameOpen_ = false;
}

void CMediaProperties::Hide() {
    hide();
    if (source_) source_->AfterToolHidden();
}

void CMediaProperties::accept() { Hide(); }
void CMediaProperties::reject() { Hide(); }

void CMediaProperties::closeEvent(QCloseEvent* event) {
    event->ignore();
    Hide();
}

void CMediaProperties::keyPressEvent(QKeyEvent* event) {
    const bool altF4 = event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_Escape || altF4) return Hide();
    QDialog::keyPressEvent(event);
}

// Rows of one-pixel lines in two colours; a row crossing a group box stops at its left
// edge and goes on from its right edge.
void CMediaProperties::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor even = colorref::ToQColor(kEvenRowColour), odd = colorref::ToQColor(kOddRowColour);
    for (int y = 0; y < height(); ++y) {
        painter.setPen(y % 2 == 0 ? even : odd);
        int x = 0;
        for (QGroupBox* group : groups_) {
            const QRect box = group->geometry();
            if (y < box.top() || y > box.bottom()) continue;
            if (box.left() > x) painter.drawLine(x, y, box.left() - 1, y);
            x = std::max(x, box.right() + 1);
        }
        if (x < width()) painter.drawLine(x, y, width() - 1, y);
    }
}
