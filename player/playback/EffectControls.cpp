#include "player/playback/EffectControls.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "common/AsciiCase.h"
#include "platform/system/FixedText.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/DialogUnits.h"
#include "player/playback/ZoomSteps.h"

namespace ec = effectcontrols;
using K = EffectControlKind;

namespace {

constexpr uint32_t kDialogColour = 0xF7F7F7;
constexpr uint32_t kStripeColour = 0xFFEBEB;
constexpr uint32_t kPageOffColour = 0x928476;
constexpr uint32_t kPageOnColour = 0xE7DED6;
constexpr uint32_t kRedBarColour = 0xE6E6FF;
constexpr uint32_t kGreenBarColour = 0xE6FFE6;
constexpr uint32_t kBlueBarColour = 0xFFE6E6;
constexpr int kSizeBoxTextLimit = 99;
// Combo boxes take the height of one line; the template's height is their drop-down's.
constexpr int kComboHeight = 12;

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

int32_t& IntField(EffectParams& params, std::string_view name) {
    const EffectField* field = FindEffectField(name);
    return *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&params) + field->offset);
}

bool IsUserMove(int action) {
    switch (action) {
        case QAbstractSlider::SliderMove:
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderSingleStepSub:
        case QAbstractSlider::SliderToMinimum:
        case QAbstractSlider::SliderToMaximum:
            return true;
        default:
            return false;
    }
}

// The reset picture: a circling arrow, lit while the mouse is over it.
void PaintResetPicture(QPainter& painter, const QRect& rect, bool lit) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colorref::ToQColor(lit ? kPageOnColour : kDialogColour));
    painter.setPen(QPen(colorref::ToQColor(kPageOffColour), 1));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    const QRectF ring = QRectF(rect).adjusted(5, 5, -5, -5);
    painter.setPen(QPen(lit ? Qt::black : colorref::ToQColor(kPageOffColour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(ring, 60 * 16, 270 * 16);
    QPainterPath head;
    const QPointF tip(ring.center().x() + ring.width() / 2 * std::cos(M_PI / 3),
                      ring.center().y() - ring.height() / 2 * std::sin(M_PI / 3));
    head.moveTo(tip + QPointF(-4, -3));
    head.lineTo(tip + QPointF(3, -1));
    head.lineTo(tip + QPointF(-1, 5));
    head.closeSubpath();
    painter.fillPath(head, lit ? Qt::black : colorref::ToQColor(kPageOffColour));
    painter.restore();
}

}  // namespace

CEffectControls::CEffectControls(IEffectTarget* target, QWidget* parent)
    : QDialog(parent), target_(target) {
    setWindowTitle(Text(ec::kCaption));
    setModal(false);
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
    chooser_ = [](const QColor& start, QWidget* owner) {
        const QColor chosen = QColorDialog::getColor(start, owner);
        return chosen.isValid() ? chosen : start;
    };
    QPalette look = palette();
    look.setColor(QPalette::Window, colorref::ToQColor(kDialogColour));
    setPalette(look);
    setAutoFillBackground(true);

    labelFont_ = QFont(QStringLiteral("MS Sans Serif"));
    labelFont_.setPixelSize(std::max(1, int(std::lround(8.0 * logicalDpiY() / 72))));
    labelFont_.setWeight(QFont::Normal);
    units_ = DialogUnits(labelFont_);

    pageArea_ = units_.ToPixels(78, 4, 184, 120);
    resetRect_ = QRect(units_.X(4), units_.Y(118), 20, 20);
    CreatePageButtons();
    CreateControls();
    FillFaces();
    ColourControls();
    resize(PanelSize());
    SyncControls();
    ShowPage(ec::kInitialPage);
    initialized_ = true;
}

CEffectControls::CEffectControls(std::unique_ptr<IEffectTarget> target, QWidget* parent)
    : CEffectControls(target.get(), parent) {
    ownedTarget_ = std::move(target);
}

CEffectControls::~CEffectControls() = default;

EffectParams* CEffectControls::Params() const { return target_ ? &target_->Effects() : nullptr; }

bool CEffectControls::CanZoom() const {
    return target_ && zoomsteps::CanZoom(target_->VideoWidth(), target_->VideoHeight());
}

QWidget* CEffectControls::Control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QLabel* CEffectControls::PageButton(int page) const {
    const auto found = pageButtons_.find(page);
    return found == pageButtons_.end() ? nullptr : found->second;
}

QSize CEffectControls::PanelSize() const {
    return {ec::kPanelWidth * units_.BaseWidth() / ec::kBaseUnitWidth,
            ec::kPanelHeight * units_.BaseHeight() / ec::kBaseUnitHeight};
}

void CEffectControls::CreatePageButtons() {
    int row = 0;
    for (const EffectPageButton& button : ec::PageButtons()) {
        auto* label = new QLabel(Text(button.text), this);
        label->setObjectName(QString::number(button.id));
        label->setGeometry(units_.ToPixels(2, 4 + row * 14, 75, 12));
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        label->setFont(labelFont_);
        label->installEventFilter(this);
        pageButtons_[button.page] = label;
        ++row;
    }
}

QWidget* CEffectControls::CreateControl(const EffectControl& c) {
    switch (c.kind) {
        case K::Bar:
        case K::VerticalBar:
        case K::ZoomBar: {
            auto* bar =
                new QScrollBar(c.kind == K::VerticalBar ? Qt::Vertical : Qt::Horizontal, this);
            bar->setRange(c.minimum, c.maximum);
            bar->setSingleStep(1);
            bar->setPageStep(0);  // page clicks do not move the bars
            connect(bar, &QAbstractSlider::actionTriggered, this, [this, &c](int action) {
                if (c.kind == K::ZoomBar) return OnZoomBar(action);
                OnBarAction(c, action);
            });
            return bar;
        }
        case K::TimeSlider: {
            auto* slider = new QSlider(Qt::Horizontal, this);
            slider->setRange(c.minimum, c.maximum);
            connect(slider, &QAbstractSlider::actionTriggered, this,
                    [this, &c](int action) { OnBarAction(c, action); });
            return slider;
        }
        case K::Edit:
        case K::PercentEdit: {
            auto* edit = new QLineEdit(this);
            edit->setFrame(false);
            edit->setFont(labelFont_);
            if (c.kind == K::PercentEdit) {
                connect(edit, &QLineEdit::textEdited, this,
                        [this](const QString& t) { OnPercentEdit(t); });
            } else if (c.page == 7) {
                connect(edit, &QLineEdit::textEdited, this,
                        [this, &c](const QString& t) { OnZoomEdit(c, t); });
            } else {
                connect(edit, &QLineEdit::textEdited, this,
                        [this, &c](const QString& t) { OnEdit(c, t); });
            }
            return edit;
        }
        case K::Check:
        case K::BlurCheck:
        case K::Rate2425: {
            auto* check = new QCheckBox(Text(c.text), this);
            check->setFont(labelFont_);
            connect(check, &QCheckBox::clicked, this, [this, &c](bool checked) {
                if (c.kind == K::BlurCheck) return OnBlur(c);
                if (c.kind == K::Rate2425) return OnRate2425(checked);
                OnCheck(c, checked);
            });
            return check;
        }
        case K::PushCheck: {
            auto* button = new QPushButton(Text(c.text), this);
            button->setCheckable(true);
            QFont font = labelFont_;
            font.setBold(c.text == "B");
            font.setItalic(c.text == "I");
            font.setUnderline(c.text == "U");
            button->setFont(font);
            connect(button, &QPushButton::clicked, this,
                    [this, &c](bool checked) { OnCheck(c, checked); });
            return button;
        }
        case K::ColorButton: {
            auto* button = new QPushButton(Text(c.text), this);
            button->setFont(labelFont_);
            connect(button, &QPushButton::clicked, this, [this] { OnColor(); });
            return button;
        }
        case K::FaceList: {
            auto* list = new QComboBox(this);
            list->setFont(labelFont_);
            // The drop-down shows as many faces as the template's height holds.
            list->setMaxVisibleItems(std::max(1, c.height / kComboHeight));
            connect(list, &QComboBox::activated, this, [this](int row) { OnFace(row); });
            return list;
        }
        case K::SizeBox: {
            auto* box = new QComboBox(this);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setFont(labelFont_);
            for (std::string_view size : ec::FontSizes()) box->addItem(Text(size));
            box->lineEdit()->setMaxLength(kSizeBoxTextLimit);
            connect(box, &QComboBox::textActivated, this,
                    [this](const QString& t) { OnSize(t, false); });
            connect(box->lineEdit(), &QLineEdit::textEdited, this,
                    [this](const QString& t) { OnSize(t, true); });
            return box;
        }
        case K::AlignmentList: {
            auto* box = new QComboBox(this);
            box->setFont(labelFont_);
            for (std::string_view alignment : ec::Alignments()) box->addItem(Text(alignment));
            connect(box, &QComboBox::activated, this, [this](int index) { OnAlignment(index); });
            return box;
        }
        case K::VerticalSpin:
        case K::HorizontalSpin: {
            const bool vertical = c.kind == K::VerticalSpin;
            auto* spin = new QWidget(this);
            auto* layout =
                vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(spin)) : new QHBoxLayout(spin);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            // Up moves the area up, left moves it left.
            const struct {
                Qt::ArrowType arrow;
                int step;
            } arrows[2] = {{vertical ? Qt::UpArrow : Qt::LeftArrow, vertical ? -1 : 1},
                           {vertical ? Qt::DownArrow : Qt::RightArrow, vertical ? 1 : -1}};
            for (const auto& a : arrows) {
                auto* button = new QToolButton(spin);
                button->setArrowType(a.arrow);
                button->setAutoRepeat(true);
                button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
                button->setObjectName(QString::number(a.step));
                const int step = a.step;
                connect(button, &QToolButton::clicked, this, [this, &c, step] { OnSpin(c, step); });
                layout->addWidget(button);
            }
            return spin;
        }
    }
    return nullptr;
}

void CEffectControls::CreateControls() {
    for (const EffectControl& c : ec::Controls()) {
        QWidget* widget = CreateControl(c);
        widget->setObjectName(QString::number(c.id));
        const bool combo =
            c.kind == K::SizeBox || c.kind == K::AlignmentList || c.kind == K::FaceList;
        widget->setGeometry(units_.ToPixels(c.x, c.y, c.width, combo ? kComboHeight : c.height));
        widget->hide();
        controls_[c.id] = widget;
    }
}

// Every family of the font database once, in its order; a family named twice in a row
// (one per writing system on some systems) is listed once.
void CEffectControls::FillFaces() {
    auto* list = static_cast<QComboBox*>(Control(ec::kFaceList));
    const QSignalBlocker quiet(list);
    QString last;
    for (const QString& family : QFontDatabase::families()) {
        if (family == last) continue;
        list->addItem(family);
        last = family;
    }
}

void CEffectControls::ColourControls() {
    const struct {
        int id;
        uint32_t colour;
    } bars[] = {{1076, kRedBarColour}, {1078, kGreenBarColour}, {1081, kBlueBarColour}};
    for (const auto& bar : bars) {
        QWidget* widget = Control(bar.id);
        QPalette look = widget->palette();
        look.setColor(QPalette::Window, colorref::ToQColor(bar.colour));
        look.setColor(QPalette::Button, colorref::ToQColor(bar.colour));
        widget->setPalette(look);
        widget->setAutoFillBackground(true);
    }
}

// Only a changed text is set, so a repaint never moves the cursor of an edit being typed in.
void CEffectControls::SetEditText(int id, int32_t value) {
    auto* edit = qobject_cast<QLineEdit*>(Control(id));
    const QString text = QString::number(value);
    if (edit && edit->text() != text) edit->setText(text);
}

void CEffectControls::SyncFace() {
    EffectParams* params = Params();
    auto* list = static_cast<QComboBox*>(Control(ec::kFaceList));
    const QSignalBlocker quiet(list);
    const std::string face = fixedtext::Read(params->fontFace);
    int selected = -1;
    for (int row = 0; row < list->count() && selected < 0; ++row) {
        if (EqualsNoCase(list->itemText(row).toStdString(), face)) selected = row;
    }
    list->setCurrentIndex(selected);
}

void CEffectControls::ShowZoomArea() {
    const EffectParams& params = *Params();
    SetEditText(ec::kZoomX, params.zoomLeft);
    SetEditText(ec::kZoomY, params.zoomTop);
    SetEditText(ec::kZoomWidth, params.zoomWidth);
    SetEditText(ec::kZoomHeight, params.zoomHeight);
    const int32_t w = target_->VideoWidth(), h = target_->VideoHeight();
    static_cast<QScrollBar*>(Control(ec::kZoomBar))
        ->setValue(zoomsteps::BarPosition(zoomsteps::FromParams(params), w, h));
}

void CEffectControls::SyncControls() {
    EffectParams* params = Params();
    if (!params) {
        for (auto& [id, widget] : controls_) widget->setEnabled(false);
        return;
    }
    for (const EffectControl& c : ec::Controls()) {
        QWidget* widget = Control(c.id);
        const QSignalBlocker quiet(widget);
        switch (c.kind) {
            case K::Bar:
            case K::VerticalBar:
            case K::TimeSlider: {
                const int32_t value = IntField(*params, c.field);
                const int32_t position = ec::PositionFromField(c, value);
                static_cast<QAbstractSlider*>(widget)->setValue(position);
                const EffectControl& edit = *ec::Find(c.buddy);
                SetEditText(edit.id, edit.editShowsValue ? value : position);
                break;
            }
            case K::Check:
            case K::PushCheck:
                static_cast<QAbstractButton*>(widget)->setChecked(IntField(*params, c.field) != 0);
                break;
            case K::BlurCheck:
                static_cast<QAbstractButton*>(widget)->setChecked(params->blur == c.k);
                break;
            case K::PercentEdit:
                static_cast<QLineEdit*>(widget)->setText(
                    Text(ec::FormatPercent(params->timeMultiplier * 100)));
                break;
            case K::Rate2425:
                static_cast<QAbstractButton*>(widget)->setChecked(
                    ec::FormatPercent(params->timeMultiplier * 100) == ec::kRate2425Text);
                break;
            case K::SizeBox:
                static_cast<QComboBox*>(widget)->setEditText(QString::number(params->fontSize));
                break;
            case K::AlignmentList:
                static_cast<QComboBox*>(widget)->setCurrentIndex(
                    std::clamp(params->alignment, 0, 2));
                break;
            default:
                break;
        }
    }
    SyncFace();
    const int32_t w = target_->VideoWidth(), h = target_->VideoHeight();
    zoomsteps::ToParams(*params, zoomsteps::KeepInside(zoomsteps::FromParams(*params), w, h));
    ShowZoomArea();
}

void CEffectControls::ShowPage(int page) {
    if (page < ec::kFirstPage || page > ec::kPageCount) return;
    for (const EffectControl& c : ec::Controls()) {
        if (c.page == page_) Control(c.id)->hide();
    }
    update(pageArea_);
    page_ = page;
    for (const EffectControl& c : ec::Controls()) {
        if (c.page == page_ && c.shown) Control(c.id)->show();
    }
    for (auto& [number, button] : pageButtons_) {
        const bool on = number == page_;
        QPalette look = button->palette();
        look.setColor(QPalette::Window, colorref::ToQColor(on ? kPageOnColour : kPageOffColour));
        look.setColor(QPalette::WindowText, on ? Qt::black : Qt::white);
        button->setPalette(look);
        button->update();
    }
}

void CEffectControls::Apply(int code) {
    if (target_) target_->ApplyEffect(code);
}

void CEffectControls::OnBarAction(const EffectControl& bar, int action) {
    EffectParams* params = Params();
    if (!params) return;
    // Every move of the time slider counts, page steps and keys too; the bars take thumb
    // moves and line steps only.
    if (bar.kind != K::TimeSlider && !IsUserMove(action)) return;
    const int32_t position = static_cast<QAbstractSlider*>(Control(bar.id))->sliderPosition();
    const int32_t value = ec::FieldFromPosition(bar, position);
    IntField(*params, bar.field) = value;
    const EffectControl& edit = *ec::Find(bar.buddy);
    SetEditText(edit.id, edit.editShowsValue ? value : position);
    Apply(bar.code);
}

void CEffectControls::OnZoomBar(int action) {
    auto* bar = static_cast<QScrollBar*>(Control(ec::kZoomBar));
    EffectParams* params = Params();
    if (!params || !IsUserMove(action)) return;
    if (!CanZoom()) {
        bar->setSliderPosition(0);
        return;
    }
    const int32_t w = target_->VideoWidth(), h = target_->VideoHeight();
    const zoomsteps::ZoomArea area =
        zoomsteps::StepTo(zoomsteps::FromParams(*params), bar->sliderPosition(), w, h);
    zoomsteps::ToParams(*params, area);
    SetEditText(ec::kZoomX, area.left);
    SetEditText(ec::kZoomY, area.top);
    SetEditText(ec::kZoomWidth, area.width);
    SetEditText(ec::kZoomHeight, area.height);
    Apply(static_cast<int>(EffectCode::Zoom));
}

void CEffectControls::OnEdit(const EffectControl& edit, const QString& text) {
    EffectParams* params = Params();
    if (!params) return;
    const int32_t typed = ec::ParseNumber(text.toStdString());
    const int32_t number = std::clamp(typed, edit.minimum, edit.maximum);
    if (number != typed) SetEditText(edit.id, number);
    const EffectControl& bar = *ec::Find(edit.buddy);
    const int32_t position = edit.editShowsValue ? ec::PositionFromField(bar, number) : number;
    auto* slider = static_cast<QAbstractSlider*>(Control(bar.id));
    {
        const QSignalBlocker quiet(slider);
        slider->setValue(position);
    }
    IntField(*params, edit.field) =
        edit.editShowsValue ? number : ec::FieldFromPosition(bar, position);
    Apply(edit.code);
}

void CEffectControls::OnZoomEdit(const EffectControl& edit, const QString& text) {
    EffectParams* params = Params();
    if (!params) return;
    zoomsteps::ZoomArea area = zoomsteps::FromParams(*params);
    if (!CanZoom()) {
        ShowZoomArea();
        return;
    }
    const int32_t typed = ec::ParseNumber(text.toStdString());
    const int32_t w = target_->VideoWidth(), h = target_->VideoHeight();
    int32_t stored = typed;
    switch (edit.id) {
        case ec::kZoomX:
            area = zoomsteps::SetLeft(area, typed, w), stored = area.left;
            break;
        case ec::kZoomY:
            area = zoomsteps::SetTop(area, typed, h), stored = area.top;
            break;
        case ec::kZoomWidth:
            area = zoomsteps::SetWidth(area, typed, w), stored = area.width;
            break;
        case ec::kZoomHeight:
            area = zoomsteps::SetHeight(area, typed, h), stored = area.height;
            break;
        default:
            return;
    }
    if (stored != typed) SetEditText(edit.id, stored);
    zoomsteps::ToParams(*params, area);
    {
        auto* bar = static_cast<QScrollBar*>(Control(ec::kZoomBar));
        const QSignalBlocker quiet(bar);
        bar->setValue(zoomsteps::BarPosition(area, w, h));
    }
    Apply(static_cast<int>(EffectCode::Zoom));
}

void CEffectControls::OnPercentEdit(const QString& text) {
    EffectParams* params = Params();
    if (!params) return;
    const EffectControl& edit = *ec::Find(ec::kMultiplierEdit);
    double value = ec::ParseReal(text.toStdString()).value_or(0.0);
    if (value < edit.minimum || value > edit.maximum) {
        value = std::clamp<double>(value, edit.minimum, edit.maximum);
        static_cast<QLineEdit*>(Control(edit.id))->setText(Text(ec::FormatPercent(value)));
    }
    auto* rate = static_cast<QAbstractButton*>(Control(ec::kRate2425));
    rate->setChecked(ec::FormatPercent(value) == ec::kRate2425Text);
    params->timeMultiplier = value / 100;
    Apply(edit.code);
}

void CEffectControls::OnCheck(const EffectControl& check, bool checked) {
    EffectParams* params = Params();
    if (!params) return;
    IntField(*params, check.field) = checked ? 1 : 0;
    Apply(check.code);
}

void CEffectControls::OnBlur(const EffectControl& check) {
    EffectParams* params = Params();
    if (!params) return;
    params->blur = params->blur == check.k ? 0 : check.k;
    static_cast<QAbstractButton*>(Control(ec::kBlur))->setChecked(params->blur == 1);
    static_cast<QAbstractButton*>(Control(ec::kBlurTwice))->setChecked(params->blur == 2);
    Apply(check.code);
}

void CEffectControls::OnRate2425(bool checked) {
    EffectParams* params = Params();
    if (!params) return;
    params->timeMultiplier = checked ? ec::kRate2425Multiplier : 1.0;
    static_cast<QLineEdit*>(Control(ec::kMultiplierEdit))
        ->setText(checked ? Text(ec::kRate2425Text) : QStringLiteral("100.00"));
    Apply(static_cast<int>(EffectCode::TimeMultiplier));
}

void CEffectControls::OnFace(int row) {
    EffectParams* params = Params();
    auto* list = static_cast<QComboBox*>(Control(ec::kFaceList));
    if (!params || row < 0 || row >= list->count()) return;
    fixedtext::SetDisplay(params->fontFace, list->itemText(row).toStdString());
    params->fontFaceWide = 0;  // the element takes the face by name
    Apply(static_cast<int>(EffectCode::FontFace));
}

void CEffectControls::OnSize(const QString& text, bool typed) {
    EffectParams* params = Params();
    if (!params) return;
    const EffectControl& box = *ec::Find(ec::kSizeBox);
    const int32_t number = ec::ParseNumber(text.left(kSizeBoxTextLimit).toStdString());
    const int32_t size = std::clamp(number, box.minimum, box.maximum);
    if (typed && size != number)
        static_cast<QComboBox*>(Control(box.id))->setEditText(QString::number(size));
    params->fontSize = size;
    Apply(box.code);
}

void CEffectControls::OnAlignment(int index) {
    EffectParams* params = Params();
    if (!params || index < 0 || index > 2) return;
    params->alignment = index;
    Apply(static_cast<int>(EffectCode::Alignment));
}

void CEffectControls::OnColor() {
    EffectParams* params = Params();
    if (!params) return;
    const QColor start(std::clamp(params->textRed, 0, 255), std::clamp(params->textGreen, 0, 255),
                       std::clamp(params->textBlue, 0, 255));
    QColor chosen = chooser_ ? chooser_(start, this) : start;
    if (!chosen.isValid()) chosen = start;
    params->textRed = chosen.red();
    params->textGreen = chosen.green();
    params->textBlue = chosen.blue();
    Apply(static_cast<int>(EffectCode::TextColor));
}

void CEffectControls::OnSpin(const EffectControl& spin, int step) {
    EffectParams* params = Params();
    if (!params || !CanZoom()) return;
    zoomsteps::ZoomArea area = zoomsteps::FromParams(*params);
    if (spin.kind == K::VerticalSpin) {
        area = zoomsteps::SpinVertical(area, step, target_->VideoHeight());
        SetEditText(ec::kZoomY, area.top);
    } else {
        area = zoomsteps::SpinHorizontal(area, step, target_->VideoWidth());
        SetEditText(ec::kZoomX, area.left);
    }
    zoomsteps::ToParams(*params, area);
    Apply(spin.code);
}

void CEffectControls::ResetPage() {
    EffectParams* params = Params();
    if (!params) return;
    const int32_t w = target_->VideoWidth(), h = target_->VideoHeight();
    const std::vector<EffectCode> codes =
        ResetEffectPage(*params, static_cast<EffectPage>(page_), w, h);
    // Without a picture of at least 2 x 2 the whole picture is no area: keep 1 x 1.
    params->zoomWidth = std::max(params->zoomWidth, 1);
    params->zoomHeight = std::max(params->zoomHeight, 1);
    SyncControls();
    for (EffectCode code : codes) Apply(static_cast<int>(code));
}

void CEffectControls::Hide() {
    hide();
    if (target_) target_->AfterToolHidden();
}

void CEffectControls::accept() { Hide(); }
void CEffectControls::reject() { Hide(); }

void CEffectControls::closeEvent(QCloseEvent* event) {
    event->ignore();
    Hide();
}

void CEffectControls::keyPressEvent(QKeyEvent* event) {
    const bool altF4 = event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_Escape || altF4) return Hide();
    if (event->key() == Qt::Key_F1) {
        if (help_) help_(ec::kHelpContext);
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CEffectControls::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (resetRect_.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), Text(ec::kResetTip), this, resetRect_);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QDialog::event(event);
}

bool CEffectControls::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (auto& [number, button] : pageButtons_) {
            if (button == watched) {
                ShowPage(number);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CEffectControls::showEvent(QShowEvent* event) {
    SyncControls();
    QDialog::showEvent(event);
}

void CEffectControls::resizeEvent(QResizeEvent* event) {
    panelWidth_ = width();
    panelHeight_ = height();
    QDialog::resizeEvent(event);
}

void CEffectControls::mouseMoveEvent(QMouseEvent* event) {
    const bool over = resetRect_.contains(event->position().toPoint());
    if (over != overReset_) {
        overReset_ = over;
        update(resetRect_);
    }
    QDialog::mouseMoveEvent(event);
}

void CEffectControls::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && resetRect_.contains(event->position().toPoint())) {
        overReset_ = true;
        resetDown_ = true;
        update(resetRect_);
        ResetPage();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CEffectControls::mouseReleaseEvent(QMouseEvent* event) {
    if (resetDown_) {
        resetDown_ = false;
        update(resetRect_);
    }
    QDialog::mouseReleaseEvent(event);
}

QRect CEffectControls::LabelRoom(const EffectLabel& label) const {
    const QPoint origin(units_.X(label.x), units_.Y(label.y));
    return QRect(origin, pageArea_.bottomRight());
}

void CEffectControls::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(colorref::ToQColor(kStripeColour));
    for (int y = 0; y < panelHeight_; y += 2) painter.drawLine(0, y, panelWidth_, y);
    painter.setPen(colorref::ToQColor(kPageOffColour));
    painter.drawRect(pageArea_.adjusted(0, 0, -1, -1));
    if (!initialized_) return;
    // The zoom page follows the block as it is now: an open since the last paint changed it.
    if (page_ == 7 && Params()) ShowZoomArea();
    painter.setFont(labelFont_);
    painter.setPen(Qt::black);
    for (const EffectLabel& label : ec::Labels()) {
        if (label.page != page_) continue;
        painter.drawText(LabelRoom(label), Qt::AlignLeft | Qt::AlignTop, Text(label.text));
    }
    // The pressed picture is the plain one; the lit one shows while the mouse is over it.
    PaintResetPicture(painter, resetRect_, overReset_ && !resetDown_);
}
