#pragma once

// The on-screen tip: one line of status text near the bottom of the desktop, above every
// other window. Created at start-up with the video window as its parent, topmost and
// hidden; the status display shows it.

#include <QDialog>

class CHKTip : public QDialog {
    Q_OBJECT
public:
    explicit CHKTip(QWidget* parent);
    ~CHKTip() override;
};
