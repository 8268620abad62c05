#pragma once

// The invisible owner of the main window. Its modal loop is the player's message loop;
// the player ends by ending it.

#include <QDialog>

#include "player/shell/KalvorDlg.h"

class CKalvorParent : public QDialog {
    Q_OBJECT
public:
    explicit CKalvorParent(PlayerFolders folders);
    ~CKalvorParent() override;

    CKalvorDlg& MainDialog() { return m_dlg; }

    // Runs the loop; returns the exit code given to EndLoop.
    int DoModal();
    // Ends the loop from inside it, whatever is on the stack.
    void EndLoop(int exitCode);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();

    CKalvorDlg m_dlg;
    bool m_initialised = false;
};
