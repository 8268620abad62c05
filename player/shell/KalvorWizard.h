#pragma once

// The wizard window: the list of fragments that korc cuts, merges and mixes.
// Created hidden at start-up, with the video window as its parent; its controls and
// behaviour are built on this window.

#include <QDialog>

class CKalvorDlg;

class CKalvorWizard : public QDialog {
    Q_OBJECT
public:
    CKalvorWizard(CKalvorDlg* main, QWidget* parent);
    ~CKalvorWizard() override;

    CKalvorDlg* MainDialog() const { return main_; }

private:
    CKalvorDlg* main_;
};
