#include "kalvorvt/SubtitleRenderer.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace {

// Installed everywhere we run (fonts-dejavu-core); used when the chosen face is missing.
constexpr char kFallbackFace[] = "DejaVu Sans";
// Whatever a file holds, one cue costs bounded work: at most this many characters are
// laid out, glyphs are at most 1/kGlyphFraction of the frame height, a word wider than
// the box is broken anywhere, and lines that would fall below the frame are not drawn.
constexpr int kMaxCueCharacters = 400;
constexpr int kGlyphFraction = 8;

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

// The largest alpha over the offsets -r, 0 and r across and down: the outline that drawing
// the text at the eight neighbouring offsets would give, in two cheap passes.
std::vector<uint8_t> Outline(const QImage& glyphs, int r) {
    const int w = glyphs.width(), h = glyphs.height();
    std::vector<uint8_t> across(size_t(w) * h), out(size_t(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        uint8_t* row = &across[size_t(y) * w];
        for (int x = 0; x < w; ++x) {
            int m = qAlpha(line[x]);
            if (x >= r) m = std::max(m, qAlpha(line[x - r]));
            if (x + r < w) m = std::max(m, qAlpha(line[x + r]));
            row[x] = uint8_t(m);
        }
    }
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = &across[size_t(y) * w];
        const uint8_t* above = y >= r ? row - size_t(r) * w : row;
        const uint8_t* below = y + r < h ? row + size_t(r) * w : row;
        uint8_t* o = &out[size_t(y) * w];
        for (int x = 0; x < w; ++x) o[x] = std::max({row[x], above[x], below[x]});
    }
    return out;
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
    cue_ = QImage();

    QFont font;
    QStringList families;
    if (!style.face.empty()) families << QString::fromStdString(style.face);
    families << kFallbackFace;
    font.setFamilies(families);
    font.setPixelSize(std::clamp(std::clamp(style.size, 1, 100) * height / 360, 1,
                                 std::max(1, height / kGlyphFraction)));
    font.setBold(style.bold != 0);
    font.setItalic(style.italic != 0);
    font.setUnderline(style.underline != 0);
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
        if (!lines.empty() && y + line.height() > height) break;  // below the frame
        line.setPosition(QPointF(0, y));
        y += line.height();
        lines.push_back(line);
        textRect |= line.naturalTextRect();
    }
    layout.endLayout();
    const QRect textBox = textRect.toAlignedRect();
    if (textBox.isEmpty()) return;
    const QRect bar =
        textBox.adjusted(-pad - border, -pad / 2 - border, pad + border, pad / 2 + border);

    QImage glyphs(bar.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter painter(&glyphs);
        painter.setRenderHint(QPainter::TextAntialiasing, style.antialiasing != 0);
        painter.setPen(QColor(std::clamp(style.red, 0, 255), std::clamp(style.green, 0, 255),
                              std::clamp(style.blue, 0, 255)));
        for (const QTextLine& line : lines) line.draw(&painter, -bar.topLeft());
    }

    // The text over its black outline, made fainter by the text transparency, over the bar:
    // all of it black but the text, so only the alphas mix.
    const std::vector<uint8_t> outline = border ? Outline(glyphs, border) : std::vector<uint8_t>();
    const int textAlpha = (100 - std::clamp(style.textTransparency, 0, 100)) * 255 / 100;
    const int barAlpha = std::clamp(style.barOpacity, 0, 100) * 255 / 100;
    cue_ = QImage(bar.size(), QImage::Format_ARGB32_Premultiplied);
    const int w = bar.width();
    for (int row = 0; row < bar.height(); ++row) {
        const auto* in = reinterpret_cast<const QRgb*>(glyphs.constScanLine(row));
        auto* out = reinterpret_cast<QRgb*>(cue_.scanLine(row));
        const uint8_t* ring = border ? &outline[size_t(row) * w] : nullptr;
        for (int x = 0; x < w; ++x) {
            const QRgb g = in[x];
            int a = qAlpha(g);
            if (ring) a += (ring[x] * (255 - a) + 127) / 255;
            auto fade = [&](int v) { return (v * textAlpha + 127) / 255; };
            a = fade(a);
            a += (barAlpha * (255 - a) + 127) / 255;
            out[x] = qRgba(fade(qRed(g)), fade(qGreen(g)), fade(qBlue(g)), a);
        }
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
    if (cue_.isNull()) return;
    QImage frame(data, width, height, stride, QImage::Format_RGB32);
    QPainter painter(&frame);
    painter.drawImage(at_, cue_);
}
