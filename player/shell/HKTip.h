#pragma once

// The on-screen tip: one line of status text centred at the bottom of the desktop, above
// every other window. Created at start-up with the video window as its parent, topmost and
// hidden; the status display shows it and the main window's display tick counts it down.

#include <QDialog>
#include <QFont>
#include <string>

class CHKTip : public QDialog {
    Q_OBJECT
public:
    static constexpr int kShowTicks = 8;     // display ticks a new message stays
    static constexpr size_t kMaxText = 399;  // bytes of text kept
    static constexpr uint32_t kBackground = 0xF7EFEF;

    explicit CHKTip(QWidget* parent);
    ~CHKTip() override;

    // Shows text (cut on a character boundary past kMaxText), topmost when it was hidden.
    // Unless keep, the countdown starts again and the window is centred on the new text.
    void ShowTip(const std::string& text, bool keep);
    // The display tick's part: above 1 the countdown goes down and true is returned (the
    // text is refreshed); at 1 the tip hides. Nothing while hidden.
    bool Tick();
    // Hidden before its time: the countdown goes with it, so the next message shows.
    void HideTip();

    int Countdown() const { return countdown_; }
    const std::string& Text() const { return text_; }
    // Where the tip goes for a text of textSize on desktop.
    static QRect Placement(const QRect& desktop, const QSize& textSize);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize TextSize() const;

    QFont font_;
    std::string text_;
    int countdown_ = 0;  // 0 while hidden
};
