#include "player/shell/MainSurface.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "common/FormatTime.h"
#include "platform/ui/ColorRef.h"

namespace {

// The volume control's values come from a skin's text: keep them where pixel arithmetic
// cannot overflow.
constexpr int32_t kCoordLimit = 1 << 20;

struct VolumeSpan {
    int x0, y0, end, y1;
};

VolumeSpan Span(const SkinResources& skin) {
    const auto& v = skin.Description().volume;
    const auto c = [](int32_t value) { return std::clamp(value, -kCoordLimit, kCoordLimit); };
    return VolumeSpan{c(v[0]), c(v[1]), c(v[2]), c(v[3])};
}

double Sane(double value) { return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0; }

}  // namespace

double MainSurface::Fraction(double num, double den) {
    if (den == 0.0) return 0.0;
    return Sane(num / den);
}

const char* MainSurface::RepeatText(int32_t repeatMode) {
    switch (repeatMode) {
        case 1: return "Repeat one";
        case 2: return "Repeat off";
        default: return "Repeat all";
    }
}

void MainSurface::SetSkin(const SkinResources* skin) {
    skin_ = skin;
    currentButton_ = -1;
    buttonState_ = kStateNormal;
    knobState_ = kStateNormal;
    seekState_ = kStateNormal;
    if (skin_) {
        const VolumeSpan span = Span(*skin_);
        knob_ = QPoint(span.x0, span.y0);
        level_ = span.x0;
        seekPos_ = savedSeekPos_ = skin_->SeekRect().x();
    }
    dirty_ = true;
}

void MainSurface::SetText(int n, std::string text) {
    if (n < 0 || n >= kTexts) return;
    texts_[n] = std::move(text);
    dirty_ = true;
}

void MainSurface::SetDisplayedPosition(double seconds) {
    displayedPosition_ = std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
    UpdateTimeText();
}

void MainSurface::UpdateTimeText() { SetText(kTimeText, FormatTime(displayedPosition_)); }

QRect MainSurface::RepeatTextArea() const {
    if (!skin_) return {};
    const QFontMetrics metrics(skin_->Font(kRepeatText));
    const QSize size = metrics.size(Qt::TextSingleLine, QString::fromStdString(texts_[kRepeatText]));
    return QRect(skin_->TextPlace(kRepeatText), size);
}

bool MainSurface::Inside(const QRect& rect, int px, int py) const {
    const int64_t x = rect.x(), y = rect.y();
    return x < px && px < x + rect.width() && y < py && py < y + rect.height();
}

bool MainSurface::IsKnob() const {
    return skin_ && skin_->VolumeControlKind() != VolumeKind::Line;
}

QRect MainSurface::KnobRect() const { return QRect(knob_, skin_->KnobSize()); }

void MainSurface::SetVolume(double volume) {
    settings_.volume = Sane(volume);
    host_.SetPlaybackVolume(settings_.volume);
    dirty_ = true;
}

void MainSurface::VolumeFromKnob() {
    const VolumeSpan span = Span(*skin_);
    if (skin_->VolumeControlKind() == VolumeKind::HorizontalKnob)
        SetVolume(Fraction(knob_.x() - span.x0, span.end - span.x0));
    else
        SetVolume(1.0 - Fraction(knob_.y() - span.y0, span.end - span.y0));
}

void MainSurface::OnMouseMove(int px, int py, bool leftHeld) {
    if (!skin_) return;
    const auto& buttons = skin_->Buttons();
    const int band = skin_->Bands().Band(px);
    const bool inBand = band >= 0;

    if (leftHeld && currentButton_ >= 0 && inBand) {
        const bool inside = buttons[currentButton_].Contains(px, py);
        if (inside && buttonState_ != kStatePressed) buttonState_ = kStatePressed;
        if (!inside && buttonState_ != kStateNormal) buttonState_ = kStateNormal;
        dirty_ = true;
    }
    if (!leftHeld) {
        if (currentButton_ >= 0 && inBand && !buttons[currentButton_].Contains(px, py)) {
            currentButton_ = -1;
            buttonState_ = kStateNormal;
            dirty_ = true;
        }
        if (currentButton_ < 0 && inBand) {
            const std::vector<int>& list = skin_->Bands().Buttons(band);
            for (auto it = list.rbegin(); it != list.rend(); ++it) {
                if (!buttons[*it].Contains(px, py)) continue;
                currentButton_ = *it;
                buttonState_ = kStateHover;
                dirty_ = true;
                break;
            }
        }
    }

    const VolumeSpan span = Span(*skin_);
    if (knobState_ == kStatePressed) {
        if (!IsKnob()) {
            if (span.x0 < px && px < span.end) level_ = px;
            else if (px > span.end) level_ = span.end;
            else if (px < span.x0) level_ = span.x0;
            SetVolume(Fraction(level_ - span.x0, span.end - span.x0));
        } else if (skin_->VolumeControlKind() == VolumeKind::HorizontalKnob) {
            int x = px - grab_.x();
            if (x <= span.x0) x = span.x0;
            if (x >= span.end) x = span.end;
            knob_.setX(x);
            VolumeFromKnob();
        } else {
            int y = py - grab_.y();
            if (y <= span.y0) y = span.y0;
            if (y >= span.end) y = span.end;
            knob_.setY(y);
            VolumeFromKnob();
        }
    }

    if (IsKnob() && currentButton_ < 0) {
        if (Inside(KnobRect(), px, py)) {
            if (leftHeld && knobState_ != kStatePressed) {
                grab_ = QPoint(px - knob_.x(), py - knob_.y());
                knobState_ = kStatePressed;
            } else if (!leftHeld && knobState_ != kStateHover) {
                knobState_ = kStateHover;
            }
            dirty_ = true;
        } else if (knobState_ != kStateNormal && !leftHeld) {
            knobState_ = kStateNormal;
            dirty_ = true;
        }
    }

    if (seekState_ == kStatePressed) {
        const QRect bar = skin_->SeekRect();
        if (!leftHeld) {
            // The release happened elsewhere: the bar goes back to where the last drag ended.
            seekPos_ = savedSeekPos_;
            seekState_ = kStateNormal;
        } else {
            seekPos_ = std::clamp(px, bar.x(), bar.x() + bar.width());
        }
        const double fraction = Fraction(seekPos_ - bar.x(), bar.width());
        SetDisplayedPosition(fraction * host_.MediaDuration());
        dirty_ = true;
    }
}

bool MainSurface::OnLButtonDown(int px, int py) {
    if (!skin_) return true;
    const VolumeSpan span = Span(*skin_);
    if (currentButton_ >= 0) {
        buttonState_ = kStatePressed;
        dirty_ = true;
    } else if (IsKnob()) {
        if (Inside(KnobRect(), px, py) && knobState_ != kStatePressed) {
            knobState_ = kStatePressed;
            grab_ = QPoint(px - knob_.x(), py - knob_.y());
            VolumeFromKnob();
        }
    } else if (span.x0 < px && px < span.end && span.y0 < py && py < span.y1) {
        level_ = px;
        knobState_ = kStatePressed;
        SetVolume(Fraction(px - span.x0, span.end - span.x0));
    }
    const QRect bar = skin_->SeekRect();
    if (currentButton_ < 0 && bar.x() <= px && px <= bar.x() + bar.width() && bar.y() <= py &&
        py <= bar.y() + bar.height()) {
        seekPos_ = px;
        seekState_ = kStatePressed;
        dirty_ = true;
    }
    return !Inside(skin_->AboutRect(), px, py) && !Inside(RepeatTextArea(), px, py) &&
           buttonState_ != kStatePressed && knobState_ != kStatePressed &&
           seekState_ != kStatePressed;
}

void MainSurface::OnLButtonUp(int px, int py) {
    if (!skin_) return;
    if (Inside(skin_->AboutRect(), px, py)) host_.ShowHelp(kHelpContext);
    if (Inside(RepeatTextArea(), px, py)) {
        settings_.repeatMode = (settings_.repeatMode + 1) % 3;
        SetText(kRepeatText, RepeatText(settings_.repeatMode));
    }
    if (buttonState_ == kStateNormal) currentButton_ = -1;
    if (buttonState_ == kStatePressed && currentButton_ >= 0) {
        buttonState_ = kStateHover;
        dirty_ = true;
        const int button = currentButton_;
        host_.ExecuteCommand(button, button < kFixedButtons ? 0 : skin_->Buttons()[button].command);
    }
    if (knobState_ == kStatePressed) {
        knobState_ = kStateHover;
        dirty_ = true;
    }
    if (seekState_ == kStatePressed) {
        const QRect bar = skin_->SeekRect();
        savedSeekPos_ = seekPos_;
        seekState_ = kStateNormal;
        seekFraction_ = Fraction(seekPos_ - bar.x(), bar.width());
        SetDisplayedPosition(host_.SeekMedia(seekFraction_ * host_.MediaDuration()));
    }
}

void MainSurface::OnLButtonDblClk(int, int) {
    if (currentButton_ < 0) return;
    buttonState_ = kStatePressed;
    dirty_ = true;
}

int MainSurface::DrawVolumeBar(double volume) {
    volume = Sane(volume);
    if (skin_) {
        const VolumeSpan span = Span(*skin_);
        const int along = static_cast<int>(volume * (span.end - span.x0));
        switch (skin_->VolumeControlKind()) {
            case VolumeKind::Line: level_ = span.x0 + along; break;
            case VolumeKind::HorizontalKnob: knob_.setX(span.x0 + along); break;
            case VolumeKind::VerticalKnob:
                knob_.setY(span.end - static_cast<int>(volume * (span.end - span.y0)));
                break;
        }
    }
    settings_.volume = volume;
    dirty_ = true;
    return host_.SetPlaybackVolume(volume);
}

void MainSurface::DrawSeekBar(double fraction) {
    fraction = Sane(fraction);
    if (skin_) {
        const QRect bar = skin_->SeekRect();
        seekPos_ = bar.x() + static_cast<int>(bar.width() * fraction);
    }
    seekFraction_ = fraction;
    dirty_ = true;
}

const QImage& MainSurface::Image() {
    if (dirty_) Render();
    return image_;
}

void MainSurface::Render() {
    dirty_ = false;
    if (!skin_ || !skin_->Loaded()) {
        image_ = QImage();
        return;
    }
    image_ = skin_->Surface().convertToFormat(QImage::Format_RGB32);
    QPainter p(&image_);
    RenderButtons(p);
    RenderVolume(p);
    RenderSeekBar(p);
    RenderTexts(p);
}

void MainSurface::RenderButtons(QPainter& p) {
    const auto& buttons = skin_->Buttons();
    for (int b = 0; b < static_cast<int>(buttons.size()); ++b) {
        const SkinButton& button = buttons[b];
        const int state = b == currentButton_ ? buttonState_ : kStateNormal;
        // States map to images: normal, hover, pressed -> n, u, d.
        const QImage& image = button.images[state == kStatePressed ? kImagePressed
                                            : state == kStateHover ? kImageHover
                                                                   : kImageNormal];
        if (image.isNull()) continue;
        // Every state is shown at the normal image's size.
        p.drawImage(button.pos, image, QRect(QPoint(0, 0), button.images[kImageNormal].size()));
    }
}

void MainSurface::RenderVolume(QPainter& p) {
    const VolumeSpan span = Span(*skin_);
    if (IsKnob()) {
        // Drawn in its current state, so a repaint while hovered or dragged keeps it.
        const auto& images = skin_->KnobImages();
        const QImage& image = images[knobState_ == kStatePressed ? kImagePressed
                                     : knobState_ == kStateHover ? kImageHover
                                                                 : kImageNormal];
        if (!image.isNull()) p.drawImage(knob_, image, QRect(QPoint(0, 0), skin_->KnobSize()));
        return;
    }
    // The line kind: a base line, then bars rising one pixel every three pixels up to the
    // level; line ends are not drawn.
    p.setPen(colorref::ToQColor(skin_->VolumeColor()));
    if (span.end > span.x0) p.drawLine(span.x0, span.y1, span.end - 1, span.y1);
    for (int64_t x = span.x0; x <= level_; x += 3) {
        const int rise = static_cast<int>((x - span.x0) / 3);
        if (rise <= 0) continue;
        for (int64_t bar : {x, x + 1})
            p.drawLine(static_cast<int>(bar), span.y1, static_cast<int>(bar), span.y1 - rise + 1);
    }
}

void MainSurface::RenderSeekBar(QPainter& p) {
    const QRect bar = skin_->SeekRect();
    const int filled = std::clamp(seekPos_ - bar.x(), 0, bar.width());
    switch (skin_->SeekBarKind()) {
        case SeekKind::HorizontalBitmap:
            if (filled > 0)
                p.drawImage(bar.topLeft(), skin_->SeekImage(), QRect(0, 0, filled, bar.height()));
            break;
        case SeekKind::Horizontal:
            p.fillRect(QRect(bar.x(), bar.y(), filled, bar.height()),
                       colorref::ToQColor(skin_->SeekForeColor()));
            p.fillRect(QRect(bar.x() + filled, bar.y(), bar.width() - filled, bar.height()),
                       colorref::ToQColor(skin_->SeekBackColor()));
            if (bar.width() > 0 && bar.height() > 0) {
                p.setPen(Qt::black);
                p.setBrush(Qt::NoBrush);
                p.drawRect(bar.x(), bar.y(), bar.width() - 1, bar.height() - 1);
            }
            break;
        case SeekKind::Vertical:
        case SeekKind::VerticalBitmap:
            break;  // vertical bars are neither sized nor drawn
    }
}

void MainSurface::RenderTexts(QPainter& p) {
    p.setPen(colorref::ToQColor(skin_->TextColor()));
    for (int n = 0; n < kTexts; ++n) {
        p.setFont(skin_->Font(n));
        const QPoint at = skin_->TextPlace(n);
        p.drawText(QRect(at, QSize(image_.width() + 1, image_.height() + 1)),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                   QString::fromStdString(texts_[n]));
    }
}
