#include "player/wizard/ChooseLogo.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "platform/ui/ColorRef.h"
#include "player/wizard/Logo.h"

namespace {
constexpr uint32_t kBackground = 0xF7EFEF;
}

CChooseLogo::CChooseLogo(PlayerSettings& settings, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      captionHeight_(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)),
      logo_(std::make_unique<CLogo>(this, settings)) {
    setWindowTitle(QString::fromUtf8(kLogoCaptionStart));
    setGeometry(0, 0, 1, 1);
    logo_->setGeometry(QRect(AreaOrigin(), QSize(1, 1)));
    timer_ = startTimer(kRepaintMs);
}

CChooseLogo::~CChooseLogo() {
    if (timer_) killTimer(timer_);
}

QPoint CChooseLogo::AreaOrigin() const { return {kSpare, kSpare + captionHeight_}; }

QSize CChooseLogo::AreaSize() const {
    return {width() - 2 * kSpare, height() - AreaOrigin().y() - kSpare};
}

QRect CChooseLogo::CloseBoxRect() const {
    const int side = std::max(captionHeight_ - 4, 8);
    return {width() - kSpare - 2 - side, kSpare + (captionHeight_ - side) / 2, side, side};
}

QRect CChooseLogo::CaptionTextRect() const {
    return QRect(kSpare + 4, kSpare, CloseBoxRect().left() - 4 - (kSpare + 4), captionHeight_);
}

QFont CChooseLogo::CaptionFont() const {
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

void CChooseLogo::CoverDesktop(const QRect& desktop) {
    desktop_ = desktop;
    setGeometry(desktop.adjusted(-kSpare, -kSpare, kSpare, kSpare));
    logo_->move(AreaOrigin());
    logo_->show();
    show();
    raise();
    activateWindow();  // Escape reaches it
}

void CChooseLogo::SetCaption(const std::string& caption) {
    caption_ = caption;
    setWindowTitle(QString::fromStdString(caption));
    update(0, 0, width(), AreaOrigin().y());
}

void CChooseLogo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colorref::ToQColor(kBackground));
    const QRect strip(0, 0, width(), AreaOrigin().y());
    QLinearGradient gradient(strip.topLeft(), strip.topRight());
    gradient.setColorAt(0.0, QColor(0x00, 0x00, 0x80));
    gradient.setColorAt(1.0, QColor(0x10, 0x84, 0xD0));
    p.fillRect(strip, gradient);
    p.setFont(CaptionFont());
    p.setPen(Qt::white);
    p.drawText(CaptionTextRect(), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(caption_));
    // The close box: a white cross in a white square, as a caption's close box looks.
    const QRect box = CloseBoxRect();
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QRect cross = box.adjusted(3, 3, -4, -4);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
}

void CChooseLogo::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CChooseLogo::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && CloseBoxRect().contains(event->position().toPoint())) {
        close();
        return;
    }
    QWidget::mousePressEvent(event);
}

// The frame stays where it covers the screen; a window manager's move is undone.
void CChooseLogo::moveEvent(QMoveEvent*) {
    if (!isVisible() || desktop_.isNull()) return;
    const QPoint home = desktop_.topLeft() - QPoint(kSpare, kSpare);
    if (pos() != home) move(home);
}

void CChooseLogo::closeEvent(QCloseEvent* event) {
    logo_->ClosePreview();
    event->accept();
}

void CChooseLogo::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_ && isVisible()) logo_->update();
}
