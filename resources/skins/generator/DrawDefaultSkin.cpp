// Draws the default skin's bitmaps at the places its skin.ini gives and packs them with
// the skin.ini into a skin package:
//   kalvor-skin-default <skin.ini> <output.krs>
// Everything is drawn here from code: the skin carries no artwork from elsewhere.

#include <minizip/zip.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "player/skin/SkinDescription.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 100;
constexpr int kCornerRadius = 12;
const QRect kDisplay(12, 10, 246, 44);
const QColor kKey(255, 0, 255);
const QColor kOutline(0x0E, 0x11, 0x16);
const QColor kAccent(0x3F, 0xB6, 0xE8);
const QColor kInk(0xD8, 0xE2, 0xEC);
const QColor kMuted(0x8C, 0x98, 0xA8);
const QColor kGroove(0x0E, 0x12, 0x17);
const QColor kPlaylistBack(0x1E, 0x23, 0x2B);

using Icon = std::function<void(QPainter&, const QRectF&)>;

struct ButtonArt {
    int index;  // skin button index: fixed 0..6, extra 7..
    QSize size;
    Icon icon;
};

std::vector<std::pair<std::string, QByteArray>> g_files;

void AddBitmap(const std::string& name, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    g_files.emplace_back(name, bytes);
}

// Pixels outside path become the key colour. The path is filled without antialiasing for
// the mask, so the edge drawn with antialiasing stays blended with what lay beneath.
void KeyOutside(QImage& image, const QPainterPath& path) {
    QImage mask(image.size(), QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter p(&mask);
    p.fillPath(path, Qt::white);
    p.end();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (mask.pixel(x, y) != qRgb(255, 255, 255)) image.setPixelColor(x, y, kKey);
}

QPainterPath Rounded(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// The loader takes each run of the key colour out of the window together with the pixel
// that ends it; a run's last pixel is painted in the outline colour so that exactly the
// keyed pixels go.
void PrepareShapeRuns(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width();) {
            if (image.pixelColor(x, y) != kKey) {
                ++x;
                continue;
            }
            int end = x;
            while (end < image.width() && image.pixelColor(end, y) == kKey) ++end;
            if (end < image.width() && !(x == 0 && y == 0 && end == 1))
                image.setPixelColor(end - 1, y, kOutline);
            x = end;
        }
    }
}

// ---- the surface ------------------------------------------------------------------------

void DrawGroove(QPainter& p, const QRectF& rect) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x52, 0x5E, 0x6E, 90));
    p.drawRoundedRect(rect.adjusted(0, 0, 0, 1), rect.height() / 2, rect.height() / 2);
    p.setBrush(kGroove);
    p.drawRoundedRect(rect, rect.height() / 2, rect.height() / 2);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.drawLine(QPointF(rect.left() + 3, rect.top() + 0.5),
               QPointF(rect.right() - 3, rect.top() + 0.5));
}

void DrawSpeaker(QPainter& p, const QPointF& at, const QColor& color) {
    QPainterPath body;
    body.moveTo(at + QPointF(0, 4));
    body.lineTo(at + QPointF(3, 4));
    body.lineTo(at + QPointF(7, 0));
    body.lineTo(at + QPointF(7, 14));
    body.lineTo(at + QPointF(3, 10));
    body.lineTo(at + QPointF(0, 10));
    body.closeSubpath();
    p.fillPath(body, color);
    p.setPen(QPen(color, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(at + QPointF(4, 3), QSizeF(7, 8)), -50 * 16, 100 * 16);
    p.drawArc(QRectF(at + QPointF(4, 0.5), QSizeF(11, 13)), -50 * 16, 100 * 16);
}

QImage DrawSurface(const SkinDescription& d) {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(kOutline);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Body: a brushed graphite slab with a lit top edge.
    QLinearGradient body(0, 0, 0, kHeight);
    body.setColorAt(0, QColor(0x44, 0x4F, 0x5E));
    body.setColorAt(0.45, QColor(0x2E, 0x35, 0x40));
    body.setColorAt(1, QColor(0x1A, 0x1E, 0x25));
    const QRectF inner(1, 1, kWidth - 2, kHeight - 2);
    p.fillPath(Rounded(inner, kCornerRadius - 1), body);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(kCornerRadius, 1.5), QPointF(kWidth - kCornerRadius, 1.5));
    for (int y = 4; y < kHeight - 4; y += 2) {
        p.setPen(QPen(QColor(255, 255, 255, y % 4 ? 4 : 7), 1));
        p.drawLine(QPointF(6, y + 0.5), QPointF(kWidth - 6, y + 0.5));
    }

    // Display: a dark glass panel for the texts.
    QLinearGradient glass(0, kDisplay.top(), 0, kDisplay.bottom());
    glass.setColorAt(0, QColor(0x0A, 0x17, 0x1F));
    glass.setColorAt(1, QColor(0x0F, 0x2A, 0x35));
    p.setPen(QPen(QColor(0x05, 0x08, 0x0B), 1));
    p.setBrush(glass);
    p.drawRoundedRect(QRectF(kDisplay).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 12));
    p.drawRoundedRect(QRectF(kDisplay.left() + 2, kDisplay.top() + 2, kDisplay.width() - 4, 14), 4,
                      4);
    p.setPen(QPen(QColor(255, 255, 255, 30), 1));
    p.drawLine(QPointF(kDisplay.left() + 5, kDisplay.bottom() + 1.5),
               QPointF(kDisplay.right() - 5, kDisplay.bottom() + 1.5));

    // Seek groove: the seek bitmap fills it from the left.
    const auto& bar = d.trackBar;
    DrawGroove(p, QRectF(bar[0], bar[1], bar[2], bar[3]));

    // Volume: speaker and the knob's groove from x0 to end plus the knob's width.
    const auto& volume = d.volume;
    DrawSpeaker(p, QPointF(volume[0] - 20, volume[1] + 1), kMuted);
    DrawGroove(p, QRectF(volume[0], volume[1] + 6, volume[2] - volume[0] + 10, 4));

    // Help area: the wordmark.
    const QRect about(d.about[0], d.about[1], d.about[2] - d.about[0], d.about[3] - d.about[1]);
    QFont mark("DejaVu Sans");
    mark.setPixelSize(9);
    mark.setBold(true);
    mark.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    p.setFont(mark);
    p.setPen(kMuted);
    p.drawText(about, Qt::AlignCenter, "KALVOR");
    p.fillRect(QRectF(about.center().x() - 8, about.bottom() - 2, 16, 1.5), kAccent);
    p.end();

    KeyOutside(image, Rounded(QRectF(0, 0, kWidth, kHeight), kCornerRadius));
    return image;
}

// ---- buttons ----------------------------------------------------------------------------

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

void IconPlay(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.fillPath(Triangle(c + QPointF(-4, -6), c + QPointF(6, 0), c + QPointF(-4, 6)),
               p.pen().color());
}
void IconPause(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.fillRect(QRectF(c.x() - 5, c.y() - 5.5, 3.5, 11), p.pen().color());
    p.fillRect(QRectF(c.x() + 1.5, c.y() - 5.5, 3.5, 11), p.pen().color());
}
void IconStop(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.fillRect(QRectF(c.x() - 5, c.y() - 5, 10, 10), p.pen().color());
}
void IconPrev(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    p.fillRect(QRectF(c.x() - 7, c.y() - 5, 2, 10), color);
    p.fillPath(Triangle(c + QPointF(0, -5), c + QPointF(-5, 0), c + QPointF(0, 5)), color);
    p.fillPath(Triangle(c + QPointF(6, -5), c + QPointF(1, 0), c + QPointF(6, 5)), color);
}
void IconNext(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    p.fillRect(QRectF(c.x() + 5, c.y() - 5, 2, 10), color);
    p.fillPath(Triangle(c + QPointF(0, -5), c + QPointF(5, 0), c + QPointF(0, 5)), color);
    p.fillPath(Triangle(c + QPointF(-6, -5), c + QPointF(-1, 0), c + QPointF(-6, 5)), color);
}
void IconOpen(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    p.fillPath(Triangle(c + QPointF(-6, 1), c + QPointF(0, -5.5), c + QPointF(6, 1)), color);
    p.fillRect(QRectF(c.x() - 6, c.y() + 3, 12, 2.5), color);
}
void IconExit(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.setPen(QPen(p.pen().color(), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-3.5, -3.5), c + QPointF(3.5, 3.5));
    p.drawLine(c + QPointF(-3.5, 3.5), c + QPointF(3.5, -3.5));
}
void IconHide(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.fillRect(QRectF(c.x() - 4, c.y() + 2, 8, 2), p.pen().color());
}
void IconPlaylist(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    for (int i = -1; i <= 1; ++i) {
        p.fillRect(QRectF(c.x() - 7, c.y() + i * 4 - 1, 2, 2), p.pen().color());
        p.fillRect(QRectF(c.x() - 3, c.y() + i * 4 - 1, 10, 2), p.pen().color());
    }
}
void IconEffects(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    const double knobs[3] = {2, -3, 1};
    for (int i = -1; i <= 1; ++i) {
        const double x = c.x() + i * 5;
        p.fillRect(QRectF(x - 0.5, c.y() - 6, 1, 12), color);
        p.fillRect(QRectF(x - 2, c.y() + knobs[i + 1] - 1.5, 4, 3), color);
    }
}
void IconWizard(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-6, 6), c + QPointF(2, -2));
    p.setPen(QPen(color, 1.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF star = c + QPointF(4.5, -4);
    for (int i = 0; i < 4; ++i) {
        const double a = i * M_PI / 4;
        p.drawLine(star + QPointF(std::cos(a) * 3, std::sin(a) * 3),
                   star - QPointF(std::cos(a) * 3, std::sin(a) * 3));
    }
}
void IconSubtitles(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    p.setPen(QPen(color, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(c.x() - 8, c.y() - 5.5, 16, 11), 2, 2);
    p.fillRect(QRectF(c.x() - 5, c.y() - 0.5, 6, 1.5), color);
    p.fillRect(QRectF(c.x() + 2, c.y() - 0.5, 3, 1.5), color);
    p.fillRect(QRectF(c.x() - 5, c.y() + 2.5, 10, 1.5), color);
}
void IconFullScreen(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    p.setPen(QPen(p.pen().color(), 1.6, Qt::SolidLine, Qt::SquareCap));
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const QPointF corner = c + QPointF(sx * 6.5, sy * 5);
            p.drawLine(corner, corner - QPointF(sx * 3.5, 0));
            p.drawLine(corner, corner - QPointF(0, sy * 3));
        }
}
void IconOptions(QPainter& p, const QRectF& r) {
    const QPointF c = r.center();
    const QColor color = p.pen().color();
    QPainterPath gear;
    for (int i = 0; i < 16; ++i) {
        const double a = i * M_PI / 8;
        const double radius = (i % 2 == 0) ? 6.5 : 4.8;
        const QPointF point = c + QPointF(std::cos(a) * radius, std::sin(a) * radius);
        i == 0 ? gear.moveTo(point) : gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 2, 2);
    p.fillPath(gear.subtracted(hole), color);
}

enum State { kNormal, kPressed, kHover };

QImage DrawButton(const QImage& surface, const QPoint& at, const QSize& size, State state,
                  const Icon& icon) {
    QImage image = surface.copy(QRect(at, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face(0.5, 0.5, size.width() - 1, size.height() - 1);
    QLinearGradient fill(0, 0, 0, size.height());
    switch (state) {
        case kNormal:
            fill.setColorAt(0, QColor(0x55, 0x61, 0x71));
            fill.setColorAt(1, QColor(0x2E, 0x35, 0x40));
            break;
        case kHover:
            fill.setColorAt(0, QColor(0x66, 0x75, 0x88));
            fill.setColorAt(1, QColor(0x38, 0x42, 0x50));
            break;
        case kPressed:
            fill.setColorAt(0, QColor(0x1A, 0x20, 0x28));
            fill.setColorAt(1, QColor(0x2A, 0x32, 0x3D));
            break;
    }
    p.setPen(QPen(kOutline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(face, 5, 5);
    if (state != kPressed) {
        p.setPen(QPen(QColor(255, 255, 255, state == kHover ? 60 : 40), 1));
        p.drawLine(QPointF(4, 1.5), QPointF(size.width() - 4, 1.5));
    } else {
        p.setPen(QPen(QColor(kAccent.red(), kAccent.green(), kAccent.blue(), 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(face.adjusted(1, 1, -1, -1), 4, 4);
    }
    const QColor ink = state == kNormal ? kInk : state == kHover ? QColor(Qt::white) : kAccent;
    p.setPen(ink);
    p.setBrush(Qt::NoBrush);
    icon(p, QRectF(0, state == kPressed ? 1 : 0, size.width(), size.height()));
    p.end();
    KeyOutside(image, Rounded(QRectF(0, 0, size.width(), size.height()), 5));
    return image;
}

std::string ButtonStem(int index) {
    static const char* const kWords[kFixedButtons] = {"prev", "play", "pause", "stop",
                                                      "open", "next", "exit"};
    return index < kFixedButtons ? std::string("b") + kWords[index]
                                 : "btn" + std::to_string(index - kFixedButtons + 1);
}

// ---- seek bar, knob, playlist scroll parts -----------------------------------------------

QImage DrawSeekFill(const QImage& surface, const QRect& rect) {
    QImage image = surface.copy(rect);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, rect.width(), 0);
    fill.setColorAt(0, QColor(0x1F, 0x7A, 0xA8));
    fill.setColorAt(1, QColor(0x5C, 0xCF, 0xF8));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const qreal radius = rect.height() / 2.0;
    p.drawRoundedRect(QRectF(0, 0, rect.width(), rect.height()), radius, radius);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(2, 1, rect.width() - 4, rect.height() / 2.0 - 1), 1.5, 1.5);
    return image;
}

QImage DrawKnob(const QImage& surface, const QPoint& at, State state) {
    const QSize size(10, 16);
    QImage image = surface.copy(QRect(at, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, size.width(), 0);
    const QColor light = state == kPressed ? kAccent
                         : state == kHover ? QColor(0xF2, 0xF6, 0xFA)
                                           : QColor(0xC9, 0xD2, 0xDC);
    fill.setColorAt(0, light);
    fill.setColorAt(1, light.darker(150));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
    p.setPen(QPen(QColor(0, 0, 0, 70), 1));
    for (int y : {6, 8, 10}) p.drawLine(QPointF(3, y + 0.5), QPointF(7, y + 0.5));
    p.end();
    KeyOutside(image, Rounded(QRectF(0, 0, size.width(), size.height()), 4));
    return image;
}

// 13 pixels wide: arrows (down, up, down pressed, up pressed), thumb normal and pressed,
// track tile, close normal and hover, top to bottom.
QImage DrawScrollSkin() {
    QImage image(13, 127, QImage::Format_RGB32);
    image.fill(kPlaylistBack);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const auto box = [&](int y, int h, bool pressed) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(pressed ? QColor(0x2F, 0x6F, 0x8F) : QColor(0x3A, 0x44, 0x52));
        p.drawRoundedRect(QRectF(0.5, y + 0.5, 12, h - 1), 3, 3);
    };
    const auto arrow = [&](int y, bool down, bool pressed) {
        box(y, 13, pressed);
        const QColor color = pressed ? QColor(Qt::white) : kInk;
        const double cy = y + 6.5;
        if (down) {
            p.fillPath(Triangle(QPointF(3, cy - 2), QPointF(10, cy - 2), QPointF(6.5, cy + 2.5)),
                       color);
        } else {
            p.fillPath(Triangle(QPointF(3, cy + 2), QPointF(10, cy + 2), QPointF(6.5, cy - 2.5)),
                       color);
        }
    };
    arrow(0, true, false);
    arrow(13, false, false);
    arrow(26, true, true);
    arrow(39, false, true);
    for (int i = 0; i < 2; ++i) {
        const int y = 52 + 18 * i;
        box(y, 18, i == 1);
        p.setPen(QPen(i == 1 ? QColor(Qt::white) : kMuted, 1));
        for (int line : {6, 8, 10})
            p.drawLine(QPointF(4, y + line + 0.5), QPointF(9, y + line + 0.5));
    }
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(0, 88, 13, 13), kPlaylistBack);
    p.fillRect(QRect(5, 88, 3, 13), kGroove);
    for (int i = 0; i < 2; ++i) {
        const int y = 101 + 13 * i;
        p.setPen(Qt::NoPen);
        p.setBrush(i == 1 ? QColor(0xC8, 0x45, 0x3C) : QColor(0x3A, 0x44, 0x52));
        p.drawEllipse(QRectF(0.5, y + 0.5, 12, 12));
        p.setPen(QPen(i == 1 ? QColor(Qt::white) : kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, y + 4.5), QPointF(8.5, y + 8.5));
        p.drawLine(QPointF(4.5, y + 8.5), QPointF(8.5, y + 4.5));
    }
    p.end();
    return image;
}

bool WritePackage(const std::string& path) {
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return false;
    bool ok = true;
    for (const auto& [name, bytes] : g_files) {
        zip_fileinfo info{};
        info.dosDate = 0x5A210000;  // a fixed date keeps the package reproducible
        ok = ok &&
             zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                 Z_DEFLATED, 9) == ZIP_OK &&
             zipWriteInFileInZip(zip, bytes.constData(), static_cast<unsigned>(bytes.size())) ==
                 ZIP_OK &&
             zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <skin.ini> <output.krs>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QFile ini(QString::fromLocal8Bit(argv[1]));
    if (!ini.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QByteArray iniBytes = ini.readAll();
    const SkinDescription d = SkinDescription::Parse(iniBytes.toStdString());
    g_files.emplace_back("skin.ini", iniBytes);

    QImage surface = DrawSurface(d);
    const std::vector<ButtonArt> buttons = {
        {0, {28, 22}, IconPrev},     {1, {34, 22}, IconPlay},       {2, {28, 22}, IconPause},
        {3, {28, 22}, IconStop},     {4, {28, 22}, IconOpen},       {5, {28, 22}, IconNext},
        {6, {18, 20}, IconExit},     {7, {32, 20}, IconPlaylist},   {8, {32, 20}, IconEffects},
        {9, {32, 20}, IconWizard},   {10, {32, 20}, IconSubtitles}, {11, {32, 20}, IconFullScreen},
        {12, {32, 20}, IconOptions}, {13, {18, 20}, IconHide},
    };
    for (const ButtonArt& art : buttons) {
        const QPoint at(d.buttons[art.index].x, d.buttons[art.index].y);
        static const char kLetters[3] = {'n', 'd', 'u'};
        for (State state : {kNormal, kPressed, kHover})
            AddBitmap(ButtonStem(art.index) + kLetters[state] + ".bmp",
                      DrawButton(surface, at, art.size, state, art.icon));
    }
    const QRect seek(d.trackBar[0], d.trackBar[1], d.trackBar[2], d.trackBar[3]);
    AddBitmap(d.trackBitmap, DrawSeekFill(surface, seek));
    const QPoint knob(d.volume[0], d.volume[1]);
    AddBitmap(d.volumeBtn + "n.bmp", DrawKnob(surface, knob, kNormal));
    AddBitmap(d.volumeBtn + "d.bmp", DrawKnob(surface, knob, kPressed));
    AddBitmap(d.volumeBtn + "u.bmp", DrawKnob(surface, knob, kHover));
    AddBitmap("scrollskin.bmp", DrawScrollSkin());
    PrepareShapeRuns(surface);
    AddBitmap("main.bmp", surface);

    if (!WritePackage(argv[2])) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
