#include "player/wizard/Logo.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "platform/media/FirstFrame.h"
#include "platform/ui/MessageSink.h"
#include "player/settings/PlayerSettings.h"
#include "player/wizard/ChooseLogo.h"
#include "player/wizard/WizardPlacement.h"

namespace {
constexpr char kCaption[] = "Kalvor";
constexpr char kAcceptText[] = "Accept current position?";
}  // namespace

CLogo::CLogo(CChooseLogo* frame, PlayerSettings& settings)
    : QWidget(frame), frame_(frame), settings_(settings) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CLogo::~CLogo() = default;

bool CLogo::OpenPreview(const media::FirstFrame& frame) {
    frame_->SetCaption(kLogoCaptionStart);
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height))
        return false;
    QImage picture(frame.width, frame.height, QImage::Format_RGB32);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(picture.scanLine(y), &frame.pixels[static_cast<size_t>(y) * frame.width],
                    static_cast<size_t>(frame.width) * 4);
    picture_ = std::move(picture);
    x_ = y_ = 0;
    dragging_ = false;
    setGeometry(QRect(frame_->AreaOrigin(), picture_.size()));
    update();
    return true;
}

void CLogo::ClosePreview() {
    dragging_ = false;
    frame_->hide();
}

void CLogo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!picture_.isNull()) p.drawImage(0, 0, picture_);
}

QPoint CLogo::Offset() const { return pos() - frame_->AreaOrigin(); }

void CLogo::UpdatePosition() {
    const QPoint offset = Offset();
    x_ = LogoPosition(offset.x(), freeAcross_);
    y_ = LogoPosition(offset.y(), freeDown_);
    frame_->SetCaption(LogoCaption(x_, y_));
}

void CLogo::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    startPoint_ = event->globalPosition().toPoint();
    lastPoint_ = startPoint_;
    startPlace_ = pos();
    // The room is the area the frame really has, so the place shown is the place stored.
    const QSize area = frame_->AreaSize();
    freeAcross_ = LogoFreeRange(area.width(), LogoWidth());
    freeDown_ = LogoFreeRange(area.height(), LogoHeight());
    update();
}

void CLogo::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->globalPosition().toPoint();
    if (!dragging_ || point == lastPoint_) return;
    // Held within its room while dragged too: the logo is shown where the job will put it,
    // at the per mille of the room across and down that the caption reads.
    const QPoint offset = startPlace_ + (point - startPoint_) - frame_->AreaOrigin();
    move(frame_->AreaOrigin() +
         QPoint(ClampLogoOffset(offset.x(), freeAcross_), ClampLogoOffset(offset.y(), freeDown_)));
    UpdatePosition();
    lastPoint_ = point;
}

void CLogo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    const QPoint offset = Offset();
    move(frame_->AreaOrigin() +
         QPoint(ClampLogoOffset(offset.x(), freeAcross_), ClampLogoOffset(offset.y(), freeDown_)));
    // What is stored is what the caption shows: the place after the clamp.
    UpdatePosition();
    update();
    const MessageAnswer answer = Messages().Show(frame_, kCaption, kAcceptText,
                                                 MessageIcon::Question, MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes) return;
    settings_.logoPosX = x_;
    settings_.logoPosY = y_;
    ClosePreview();
}
