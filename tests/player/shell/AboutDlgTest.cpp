// The About box is the one place that names the version; it must close on OK and report
// acceptance, or the system menu's handler would wait for ever.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "player/shell/AboutDlg.h"

namespace {

// A box that OK failed to close is rejected later, so the test fails instead of hanging.
void RejectLater(QDialog* dlg) { QTimer::singleShot(5000, dlg, &QDialog::reject); }

TEST(AboutDlg, ShowsCaptionIconVersionAndOkThatAcceptsTheModalBox) {
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), kAboutCaption);
    EXPECT_EQ(dlg.parentWidget(), nullptr);
    EXPECT_TRUE(dlg.isModal());
    const auto* icon = dlg.findChild<QLabel*>("icon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    const auto* version = dlg.findChild<QLabel*>("version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), "Kalvor Version 1.3");
    const auto buttons = dlg.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    QPushButton* ok = buttons.front();
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());

    bool clicked = false;
    QTimer::singleShot(0, &dlg, [&] {
        clicked = dlg.isVisible();
        ok->click();
    });
    RejectLater(&dlg);
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(dlg.isVisible());
}

// Clicks OK of every About box on the screen, or rejects them when ok is false.
void CloseAboutBoxes(bool ok) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dlg = qobject_cast<CAboutDlg*>(w);
        if (dlg == nullptr || !dlg->isVisible()) continue;
        if (ok) dlg->findChild<QPushButton*>("ok")->click();
        else dlg->reject();
    }
}

TEST(AboutDlg, RunModalReturnsWhenTheBoxIsAccepted) {
    QTimer::singleShot(0, [] { CloseAboutBoxes(true); });
    QTimer::singleShot(5000, [] { CloseAboutBoxes(false); });
    EXPECT_EQ(CAboutDlg::RunModal(), QDialog::Accepted);
}

}  // namespace
