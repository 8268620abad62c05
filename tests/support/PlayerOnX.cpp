#include "support/PlayerOnX.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "support/QtApp.h"

PlayerOnX::PlayerOnX(const PlayerFolders& folders, const std::string& name)
    : application_(name), parent_(folders) {}

int RunPlayer(CKalvorParent& parent, const std::function<void(CKalvorDlg&)>& body) {
    CKalvorDlg& dlg = parent.MainDialog();
    QTimer::singleShot(0, &dlg, [&] {
        const bool shown = qttest::WaitUntil([&] { return dlg.isVisible(); });
        if (shown)
            body(dlg);
        else
            ADD_FAILURE() << "the main window never showed";
        if (!shown || ::testing::Test::HasFatalFailure()) dlg.close();
    });
    return parent.DoModal();
}
