#pragma once

// The options dialog.
// Created hidden at start-up, with the video window as its parent; its controls and
// behaviour are built on this window.

#include <QDialog>

class CKalvorDlg;

class CKalvorOptions : public QDialog {
    Q_OBJECT
public:
    CKalvorOptions(CKalvorDlg* main, QWidget* parent);
    ~CKalvorOptions() override;

    CKalvorDlg* MainDialog() const { return main_; }

private:
    CKalvorDlg* main_;
};
