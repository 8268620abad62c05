#include "player/shell/HKTip.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/ui/ColorRef.h"

namespace {

constexpr int kTextLeft = 2, kTextTop = 1;

// The longest prefix of at most max bytes that ends on a UTF-8 character boundary.
std::string CutText(const std::string& text, size_t max) {
    if (text.size() <= max) return text;
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

CHKTip::CHKTip(QWidget* parent)
    : QDialog(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      font_(QStringLiteral("Arial"), 10, QFont::Bold) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

CHKTip::~CHKTip() = default;

QRect CHKTip::Placement(const QRect& desktop, const QSize& text) {
    return QRect(desktop.width() / 2 - text.width() / 2, desktop.height() - text.height() - 6,
                 text.width() + 4, text.height() + 2);
}

QSize CHKTip::TextSize() const {
    const QFontMetrics metrics(font_);
    return metrics.size(Qt::TextSingleLine, QString::fromStdString(text_));
}

void CHKTip::ShowTip(const std::string& text, bool keep) {
    const bool wasHidden = countdown_ == 0;
    text_ = CutText(text, kMaxText);
    if (!keep || wasHidden) {
        countdown_ = kShowTicks;
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        setGeometry(Placement(desktop, TextSize()));
    }
    if (wasHidden) {
        show();
        raise();
    }
    update();
}

void CHKTip::HideTip() {
    countdown_ = 0;
    hide();
}

bool CHKTip::Tick() {
    if (countdown_ == 0) return false;
    if (countdown_ == 1) {
        countdown_ = 0;
        hide();
        return false;
    }
    --countdown_;
    return true;
}

void CHKTip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colorref::ToQColor(kBackground));
    p.setFont(font_);
    p.setPen(Qt::black);
    const QFontMetrics metrics(font_);
    p.drawText(kTextLeft, kTextTop + metrics.ascent(), QString::fromStdString(text_));
}
