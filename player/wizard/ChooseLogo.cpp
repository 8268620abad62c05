#include "player/wizard/ChooseLogo.h"

#include <QCloseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QStyle>

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

QRect CChooseLogo::CaptionTextRect() const {
    return QRect(0, 0, width(), AreaOrigin().y()).adjusted(kSpare + 4, kSpare, 0, 0);
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
