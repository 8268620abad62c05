#pragma once

// The logo inside the placement frame: the file's first picture at its own size on black,
// dragged by the mouse. The frame's caption follows the drag; on release the logo is held
// in its room and the user is asked to accept the place.

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <string>

struct PlayerSettings;
class CChooseLogo;
namespace media {
struct FirstFrame;
}

class CLogo : public QWidget {
    Q_OBJECT
public:
    CLogo(CChooseLogo* frame, PlayerSettings& settings);
    ~CLogo() override;

    // Shows a file's first picture at its size at the start of the logo's area; false for
    // an empty frame. The caption starts at 0.0 %.
    bool OpenPreview(const media::FirstFrame& frame);
    // Hides the frame; the picture stays until the next file.
    void ClosePreview();

    int LogoWidth() const { return picture_.width(); }
    int LogoHeight() const { return picture_.height(); }
    int PositionX() const { return x_; }
    int PositionY() const { return y_; }
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The logo's offset from the start of its room, in the frame's pixels.
    QPoint Offset() const;
    void UpdatePosition();

    CChooseLogo* frame_;
    PlayerSettings& settings_;
    QImage picture_;
    bool dragging_ = false;
    QPoint lastPoint_;
    QPoint startPoint_;  // in the logo's pixels, where the button went down
    QPoint startPlace_;  // the logo's place in the frame then
    int freeAcross_ = 1;
    int freeDown_ = 1;
    int x_ = 0;  // tenths of a percent, 0..1000
    int y_ = 0;
};
