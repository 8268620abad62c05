#include "platform/ui/ProgramIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace programicons {
namespace {

const QColor kInk(0x2B, 0x34, 0x40);
const QColor kTile(0x1E, 0x23, 0x2B);
const QColor kBlue(0x3F, 0xB6, 0xE8);
const QColor kAmber(0xE8, 0xA2, 0x3F);

struct Named {
    int resource;
    const char* theme;
};
// freedesktop icon naming: the ones that mean what the entry does.
constexpr Named kThemeNames[] = {
    {kPlay, "media-playback-start"}, {kStop, "media-playback-stop"},
    {kPause, "media-playback-pause"}, {kPrevious, "media-skip-backward"},
    {kNext, "media-skip-forward"},    {kExit, "application-exit"},
    {kOpen, "document-open"},         {kOptions, "preferences-system"},
};

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

// A triangle pointing right (+1) or left (-1) between x0 and x1.
QPainterPath Arrow(qreal x0, qreal x1, qreal top, qreal bottom, int direction) {
    const qreal tip = direction > 0 ? x1 : x0, back = direction > 0 ? x0 : x1;
    return Polygon({{back, top}, {tip, (top + bottom) / 2}, {back, bottom}});
}

void Tile(QPainter& p, const QColor& inner) {
    p.setPen(Qt::NoPen);
    p.setBrush(kTile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
    p.setBrush(inner);
}

void DrawPlayer(QPainter& p) {
    Tile(p, kBlue);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    p.fillPath(Arrow(6.5, 11.5, 5, 11, 1), Qt::white);
}

void DrawKorc(QPainter& p) {
    Tile(p, kAmber);
    // A film strip, and the arrow of work done on it.
    for (qreal y : {2.0, 11.5}) {
        p.setBrush(kAmber);
        p.drawRect(QRectF(2, y, 12, 2.5));
        p.setBrush(kTile);
        for (qreal x = 3; x < 14; x += 3) p.drawRect(QRectF(x, y + 0.75, 1, 1));
    }
    p.fillPath(Polygon({{3, 6.5}, {9, 6.5}, {9, 5}, {13, 8}, {9, 11}, {9, 9.5}, {3, 9.5}}),
               Qt::white);
}

void DrawGear(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int tooth = 0; tooth < 8; ++tooth) {
        p.save();
        p.translate(8, 8);
        p.rotate(tooth * 45);
        p.drawRect(QRectF(-1.25, -7, 2.5, 3));
        p.restore();
    }
    QPainterPath ring;
    ring.addEllipse(QPointF(8, 8), 5, 5);
    ring.addEllipse(QPointF(8, 8), 2, 2);
    p.drawPath(ring);
}

void DrawPower(QPainter& p) {
    QPen pen(kInk, 2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 3, 11, 11), 120 * 16, 300 * 16);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 8));
}

void DrawFolder(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kAmber);
    p.drawPath(Polygon({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13}, {1.5, 13}}));
    p.setBrush(kAmber.lighter(125));
    p.drawPath(Polygon({{1.5, 13}, {3.5, 7}, {15, 7}, {14.5, 13}}));
}

void DrawSubtitles(QPainter& p) {
    p.setPen(QPen(kInk, 1.25));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2, 2);
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 8.5), QPointF(12, 8.5));
    p.drawLine(QPointF(5.5, 11), QPointF(10.5, 11));
}

// A range mark: a bracket on the side of the range and an arrow into it.
void DrawRangeMark(QPainter& p, bool begin) {
    p.setPen(QPen(kInk, 1.75, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const qreal x = begin ? 3 : 13, serif = begin ? 3 : -3;
    p.drawPolyline(QPolygonF({{x + serif, 2}, {x, 2}, {x, 14}, {x + serif, 14}}));
    p.fillPath(begin ? Arrow(6.5, 12.5, 4.5, 11.5, -1) : Arrow(3.5, 9.5, 4.5, 11.5, 1), kBlue);
}

void Draw(QPainter& p, int resource) {
    switch (resource) {
        case kPlayer: return DrawPlayer(p);
        case kKorc: return DrawKorc(p);
        case kPlay: return p.fillPath(Arrow(4, 13, 2, 14, 1), kInk);
        case kStop: return p.fillRect(QRectF(3, 3, 10, 10), kInk);
        case kPause:
            p.fillRect(QRectF(3, 2, 3.5, 12), kInk);
            return p.fillRect(QRectF(9.5, 2, 3.5, 12), kInk);
        case kPrevious:
            p.fillRect(QRectF(2, 2, 2, 12), kInk);
            return p.fillPath(Arrow(4.5, 14, 2, 14, -1), kInk);
        case kNext:
            p.fillPath(Arrow(2, 11.5, 2, 14, 1), kInk);
            return p.fillRect(QRectF(12, 2, 2, 12), kInk);
        case kExit: return DrawPower(p);
        case kOpen: return DrawFolder(p);
        case kOptions: return DrawGear(p);
        case kSubtitles: return DrawSubtitles(p);
        case kRangeBegin: return DrawRangeMark(p, true);
        case kRangeEnd: return DrawRangeMark(p, false);
        default: return;
    }
}

bool Known(int resource) {
    return resource == kPlayer || resource == kKorc ||
           (resource >= kPlay && resource <= kRangeBegin);
}

}  // namespace

const char* ThemeName(int resource) {
    for (const Named& named : kThemeNames)
        if (named.resource == resource) return named.theme;
    return nullptr;
}

QIcon DrawnIcon(int resource) {
    if (!Known(resource)) return {};
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        Draw(p, resource);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon Icon(int resource) {
    const char* theme = ThemeName(resource);
    if (theme && QIcon::hasThemeIcon(theme)) return QIcon::fromTheme(theme);
    return DrawnIcon(resource);
}

}  // namespace programicons
