#pragma once

// The logo placement frame: a frameless window above all others over the whole screen,
// with a caption strip painted at its top that shows the logo's place as it is dragged, and
// a close box in it. The logo moves in the area below the strip. Escape or the close box
// leave without storing a place.

#include <QFont>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>

struct PlayerSettings;
class CLogo;

inline constexpr char kLogoCaptionStart[] =
    "Position of image in a video fragment - Drag and Drop - X: 0.0%  Y: 0.0%";

class CChooseLogo : public QWidget {
    Q_OBJECT
public:
    CChooseLogo(PlayerSettings& settings, QWidget* owner);
    ~CChooseLogo() override;

    // Covers desktop with 3 pixels to spare on every side and shows the logo at the
    // top-left of its area.
    void CoverDesktop(const QRect& desktop);
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    int CaptionHeight() const { return captionHeight_; }
    // Where the logo's area starts, in the frame's pixels, and its size: the room the logo
    // moves in is this area less the logo.
    QPoint AreaOrigin() const;
    QSize AreaSize() const;
    // The close box at the right end of the caption strip.
    QRect CloseBoxRect() const;
    // Where the caption's text is painted, and with which font.
    QRect CaptionTextRect() const;
    QFont CaptionFont() const;
    CLogo& Logo() { return *logo_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static constexpr int kSpare = 3;
    static constexpr int kRepaintMs = 500;

    std::string caption_ = kLogoCaptionStart;
    int captionHeight_;
    QRect desktop_;
    std::unique_ptr<CLogo> logo_;
    int timer_ = 0;
};
