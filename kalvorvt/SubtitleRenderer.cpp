#include "kalvorvt/SubtitleRenderer.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace {

// Installed everywhere we run (fonts-dejavu-core); used when the chosen face is missing.
constexpr char kFallbackFace[] = "DejaVu Sans";
// Whatever a file holds, one cue costs bounded work: at most this many characters are
// laid out, glyphs are at most 1/kGlyphFraction of the frame height, a word wider than
// the box is broken anywhere, a cue covers at most 1/kCueFraction of the frame's height
// (four lines at the largest glyphs), and
// each distinct glyph is rasterised once per cue.
constexpr int kMaxCueCharacters = 400;
constexpr int kGlyphFraction = 10;
constexpr int kCueFraction = 2;

// The cue's text, cut to kMaxCueCharacters without splitting a surrogate pair.
QString CueText(const std::string& text) {
    QString content = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (content.size() > kMaxCueCharacters) {
        qsizetype cut = kMaxCueCharacters;
        if (content.at(cut - 1).isHighSurrogate()) --cut;
        content.truncate(cut);
    }
    content.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return content;
}

// v / 255, rounded, for v up to 255 * 255: 16-bit lanes throughout, so the loops below
// vectorise eight or sixteen pixels wide.
inline uint16_t Div255(uint16_t v) {
    const auto t = uint16_t(v + 128);
    return uint16_t(uint16_t(t + (t >> 8)) >> 8);
}

struct Look {
    uint16_t textAlpha, barAlpha, red, green, blue;
};

// One row of the cue: the text (coverage cover) over its black outline (the largest of
// ring, above and below) at the text transparency, over the black bar; premultiplied.
__attribute__((target_clones("avx2", "default"))) void ComposeRow(const uint8_t* __restrict cover,
                                                                  const uint8_t* __restrict ring,
                                                                  const uint8_t* __restrict above,
                                                                  const uint8_t* __restrict below,
                                                                  int n, Look look,
                                                                  uint32_t* __restrict out) {
    for (int x = 0; x < n; ++x) {
        const uint16_t a = cover[x];
        const uint16_t edge = std::max(ring[x], std::max(above[x], below[x]));
        const uint16_t text = Div255(uint16_t(a * look.textAlpha));
        const uint16_t dark = Div255(
            uint16_t(uint16_t(a + Div255(uint16_t(edge * uint16_t(255 - a)))) * look.textAlpha));
        const uint16_t alpha =
            uint16_t(dark + Div255(uint16_t(look.barAlpha * uint16_t(255 - dark))));
        out[x] = uint32_t(alpha) << 24 | uint32_t(Div255(uint16_t(look.red * text))) << 16 |
                 uint32_t(Div255(uint16_t(look.green * text))) << 8 |
                 Div255(uint16_t(look.blue * text));
    }
}

// A glyph's coverage, rasterised once and laid down wherever the glyph occurs.
struct GlyphMask {
    QImage alpha;   // Format_Alpha8
    QPoint offset;  // of its top-left from the glyph's origin on the baseline
};

class GlyphCache {
public:
    const GlyphMask& Get(const QRawFont& font, quint32 glyph, bool antialias) {
        size_t f = 0;
        while (f < fonts_.size() && !(fonts_[f].first == font)) ++f;
        if (f == fonts_.size()) fonts_.emplace_back(font, std::map<quint32, GlyphMask>());
        auto& glyphs = fonts_[f].second;
        auto found = glyphs.find(glyph);
        if (found != glyphs.end()) return found->second;
        GlyphMask mask;
        mask.alpha = font.alphaMapForGlyph(glyph, QRawFont::PixelAntialiasing);
        if (mask.alpha.format() != QImage::Format_Alpha8)
            mask.alpha = mask.alpha.convertToFormat(QImage::Format_Grayscale8);
        if (!antialias) {
            for (int y = 0; y < mask.alpha.height(); ++y) {
                uchar* row = mask.alpha.scanLine(y);
                for (int x = 0; x < mask.alpha.width(); ++x) row[x] = row[x] >= 128 ? 255 : 0;
            }
        }
        mask.offset = font.boundingRect(glyph).topLeft().toPoint();
        return glyphs.emplace(glyph, std::move(mask)).first->second;
    }

private:
    std::vector<std::pair<QRawFont, std::map<quint32, GlyphMask>>> fonts_;
};

// Coverage bytes, clipped at the edges.
void Stamp(SubtitleRenderer::Plane& plane, const QImage& mask, int left, int top) {
    const int x0 = std::max(0, left), x1 = std::min(plane.width, left + mask.width());
    for (int y = std::max(0, top); y < std::min(plane.height, top + mask.height()); ++y) {
        const uchar* from = mask.constScanLine(y - top);
        uint8_t* to = &plane.bytes[size_t(y) * plane.width];
        for (int x = x0; x < x1; ++x) to[x] = std::max(to[x], from[x - left]);
    }
}

void Fill(SubtitleRenderer::Plane& plane, int left, int top, int w, int h) {
    for (int y = std::max(0, top); y < std::min(plane.height, top + h); ++y) {
        uint8_t* row = &plane.bytes[size_t(y) * plane.width];
        std::fill(row + std::clamp(left, 0, plane.width),
                  row + std::clamp(left + w, 0, plane.width), uint8_t(255));
    }
}

// The largest coverage over the offsets -r, 0 and r across; the compositing takes the
// same down, which gives the outline that drawing the text at the eight neighbouring
// offsets would.
void Spread(const SubtitleRenderer::Plane& glyphs, int r, SubtitleRenderer::Plane& across) {
    const int w = glyphs.width, h = glyphs.height;
    across.width = w, across.height = h;
    across.bytes.assign(glyphs.bytes.begin(), glyphs.bytes.end());
    for (int y = 0; y < h; ++y) {
        const uint8_t* in = &glyphs.bytes[size_t(y) * w];
        uint8_t* row = &across.bytes[size_t(y) * w];
        for (int x = r; x < w; ++x) row[x] = std::max(row[x], in[x - r]);
        for (int x = 0; x + r < w; ++x) row[x] = std::max(row[x], in[x + r]);
    }
}

}  // namespace

bool SubtitleRenderer::Available() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

void SubtitleRenderer::Prepare(int width, int height, const std::string& text,
                               const SubtitleStyle& style) {
    text_ = text;
    style_ = style;
    width_ = width;
    height_ = height;
    shown_ = false;

    QFont font;
    QStringList families;
    if (!style.face.empty()) families << QString::fromStdString(style.face);
    families << kFallbackFace;
    font.setFamilies(families);
    font.setPixelSize(std::clamp(std::clamp(style.size, 1, 100) * height / 360, 1,
                                 std::max(1, height / kGlyphFraction)));
    font.setBold(style.bold != 0);
    font.setItalic(style.italic != 0);
    if (!style.antialiasing) font.setStyleStrategy(QFont::NoAntialias);

    // The text box between the bounds; bounds that leave no room give the whole width.
    int left = std::clamp(style.leftBound, 0, 1000) * width / 1000;
    int right = width - std::clamp(style.rightBound, 0, 1000) * width / 1000;
    if (right - left < width / 10) left = 0, right = width;
    const int align = std::clamp(style.alignment, 0, 2);

    const QFontMetrics metrics(font);
    const int pad = std::max(2, metrics.height() / 6);
    const int border = style.bordering ? std::max(1, font.pixelSize() / 16) : 0;
    const int boxWidth = std::max(1, right - left - 2 * pad);

    QTextLayout layout(CueText(text), font);
    QTextOption option(align == 0 ? Qt::AlignLeft : align == 2 ? Qt::AlignRight : Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<QTextLine> lines;
    QRectF textRect;
    qreal y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(boxWidth);
        if (!lines.empty() && y + line.height() > height / kCueFraction) break;
        line.setPosition(QPointF(0, y));
        y += line.height();
        lines.push_back(line);
        textRect |= line.naturalTextRect();
    }
    layout.endLayout();
    const QRect textBox = textRect.toAlignedRect();
    if (textBox.isEmpty()) return;
    shown_ = true;
    const QRect bar =
        textBox.adjusted(-pad - border, -pad / 2 - border, pad + border, pad / 2 + border);

    // The glyphs' coverage, each distinct glyph rasterised once.
    Plane& glyphs = glyphs_;
    glyphs.width = bar.width(), glyphs.height = bar.height();
    glyphs.bytes.assign(size_t(bar.width()) * bar.height(), 0);
    GlyphCache cache;
    for (const QTextLine& line : lines) {
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const auto indexes = run.glyphIndexes();
            const auto positions = run.positions();
            for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
                const GlyphMask& mask = cache.Get(raw, indexes[i], style.antialiasing != 0);
                const QPoint at = positions[i].toPoint() + mask.offset - bar.topLeft();
                Stamp(glyphs, mask.alpha, at.x(), at.y());
            }
        }
        if (style.underline) {
            const QRectF extent = line.naturalTextRect();
            const int thickness = std::max(1, metrics.lineWidth());
            Fill(glyphs, int(extent.left()) - bar.left(),
                 int(line.y() + line.ascent()) + metrics.underlinePos() - bar.top(),
                 int(std::ceil(extent.width())), thickness);
        }
    }

    // The text over its black outline, made fainter by the text transparency, over the
    // black bar: all of it black but the text, so the alphas mix and the colour scales.
    if (border) Spread(glyphs, border, across_);
    const Look look{uint16_t((100 - std::clamp(style.textTransparency, 0, 100)) * 255 / 100),
                    uint16_t(std::clamp(style.barOpacity, 0, 100) * 255 / 100),
                    uint16_t(std::clamp(style.red, 0, 255)),
                    uint16_t(std::clamp(style.green, 0, 255)),
                    uint16_t(std::clamp(style.blue, 0, 255))};
    if (cue_.size() != bar.size()) cue_ = QImage(bar.size(), QImage::Format_ARGB32_Premultiplied);
    const int w = bar.width(), h = bar.height();
    for (int row = 0; row < h; ++row) {
        const uint8_t* cover = &glyphs.bytes[size_t(row) * w];
        const uint8_t* ring = border ? &across_.bytes[size_t(row) * w] : cover;
        const uint8_t* above = border && row >= border ? ring - size_t(border) * w : ring;
        const uint8_t* below = border && row + border < h ? ring + size_t(border) * w : ring;
        ComposeRow(cover, ring, above, below, w, look,
                   reinterpret_cast<uint32_t*>(cue_.scanLine(row)));
    }

    // Placed in the box by the alignment, its bottom at the vertical position, inside the frame.
    const int x = left + pad + bar.left();
    const int bottom = height - std::clamp(style.vertical, 0, 1000) * height / 1000;
    at_ = QPoint(std::clamp(x, 0, std::max(0, width - cue_.width())),
                 std::clamp(bottom - cue_.height(), 0, std::max(0, height - cue_.height())));
}

void SubtitleRenderer::Draw(uint8_t* data, int width, int height, int stride,
                            const std::string& text, const SubtitleStyle& style) {
    if (width <= 0 || height <= 0 || text.empty()) return;
    if (text != text_ || !(style == style_) || width != width_ || height != height_)
        Prepare(width, height, text, style);
    if (!shown_) return;
    QImage frame(data, width, height, stride, QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.drawImage(at_, cue_);
}
