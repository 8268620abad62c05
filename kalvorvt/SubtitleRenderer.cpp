#include "kalvorvt/SubtitleRenderer.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>

namespace {

// Installed everywhere we run (fonts-dejavu-core); used when the chosen face is missing.
constexpr char kFallbackFace[] = "DejaVu Sans";

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
    font.setPixelSize(std::max(1, std::clamp(style.size, 1, 100) * height / 360));
    font.setBold(style.bold != 0);
    font.setItalic(style.italic != 0);
    font.setUnderline(style.underline != 0);
    if (!style.antialiasing) font.setStyleStrategy(QFont::NoAntialias);

    // The text box between the bounds; bounds that leave no room give the whole width.
    int left = std::clamp(style.leftBound, 0, 1000) * width / 1000;
    int right = width - std::clamp(style.rightBound, 0, 1000) * width / 1000;
    if (right - left < width / 10) left = 0, right = width;
    const int align = std::clamp(style.alignment, 0, 2);
    const int flags = Qt::TextWordWrap | (align == 0   ? Qt::AlignLeft
                                          : align == 2 ? Qt::AlignRight
                                                       : Qt::AlignHCenter);

    const QString content = QString::fromUtf8(text.data(), qsizetype(text.size()));
    const QFontMetrics metrics(font);
    const int pad = std::max(2, metrics.height() / 6);
    const int border = style.bordering ? std::max(1, font.pixelSize() / 16) : 0;
    QRect textRect =
        metrics.boundingRect(QRect(0, 0, right - left - 2 * pad, height * 4), flags, content);
    if (textRect.isEmpty()) return;
    const QRect bar =
        textRect.adjusted(-pad - border, -pad / 2 - border, pad + border, pad / 2 + border);

    cue_ = QImage(bar.size(), QImage::Format_ARGB32_Premultiplied);
    cue_.fill(Qt::transparent);
    {
        QImage glyphs(bar.size(), QImage::Format_ARGB32_Premultiplied);
        glyphs.fill(Qt::transparent);
        QPainter painter(&glyphs);
        painter.setRenderHint(QPainter::TextAntialiasing, style.antialiasing != 0);
        painter.setFont(font);
        const QRect inner = textRect.translated(-bar.topLeft());
        if (border) {
            painter.setPen(Qt::black);
            for (int dy = -border; dy <= border; dy += border)
                for (int dx = -border; dx <= border; dx += border)
                    if (dx || dy) painter.drawText(inner.translated(dx, dy), flags, content);
        }
        painter.setPen(QColor(std::clamp(style.red, 0, 255), std::clamp(style.green, 0, 255),
                              std::clamp(style.blue, 0, 255)));
        painter.drawText(inner, flags, content);
        painter.end();

        QPainter cue(&cue_);
        cue.fillRect(cue_.rect(),
                     QColor(0, 0, 0, std::clamp(style.barOpacity, 0, 100) * 255 / 100));
        cue.setOpacity((100 - std::clamp(style.textTransparency, 0, 100)) / 100.0);
        cue.drawImage(0, 0, glyphs);
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
