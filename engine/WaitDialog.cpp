#include "engine/WaitDialog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <thread>

#include "engine/DialogLook.h"
#include "engine/WizardPage.h"
#include "platform/ui/OwnerWindow.h"

namespace {

constexpr int kWidth = 200, kHeight = 58;
constexpr int kPollMs = 50;

}  // namespace

CWaitDialog::CWaitDialog(const BackgroundWork& work, std::atomic<bool>& stop, QWidget* parent)
    : QDialog(parent), work_(work), stop_(stop), units_(font()) {
    setWindowTitle(QString::fromStdString(work.caption));
    ApplyDialogLook(this);
    setFixedSize(units_.X(kWidth), units_.Y(kHeight));
    auto* text = new QLabel(this);
    text->setObjectName(ControlName(kWaitText));
    text->setGeometry(units_.ToPixels(8, 8, 184, 10));
    auto* bar = new QProgressBar(this);
    bar->setObjectName(ControlName(kWaitBar));
    bar->setGeometry(units_.ToPixels(8, 22, 184, 12));
    bar->setRange(0, std::max(work.total, 1));
    auto* button = new QPushButton(kCancelText, this);
    button->setObjectName(ControlName(kButtonCancel));
    button->setGeometry(units_.ToPixels(142, 40, 50, 14));
    connect(button, &QPushButton::clicked, this, &CWaitDialog::reject);
    Show(0);
}

void CWaitDialog::Show(int done) {
    const int shown = std::min(done + 1, std::max(work_.total, 1));
    findChild<QLabel*>(ControlName(kWaitText))
        ->setText(QString("Reading %1 %2 of %3...")
                      .arg(QString::fromStdString(work_.item))
                      .arg(shown)
                      .arg(work_.total));
    findChild<QProgressBar*>(ControlName(kWaitBar))->setValue(done);
}

void CWaitDialog::reject() {
    stop_ = true;
    findChild<QPushButton*>(ControlName(kButtonCancel))->setEnabled(false);
}

bool RunWithWaitDialog(const BackgroundWork& work, uint32_t ownerWindow) {
    std::atomic<bool> stop{false};
    std::atomic<int> done{0};
    std::atomic<bool> finished{false};
    QEventLoop loop;
    std::thread worker([&] {
        work.run(stop, done);
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    CWaitDialog dialog(work, stop);
    ownerwindow::MakeTransientFor(&dialog, ownerWindow);
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (!dialog.isVisible() && elapsed.elapsed() >= kShowWaitAfterMs) dialog.show();
        dialog.Show(done);
    });
    poll.start(kPollMs);
    if (!finished) loop.exec();
    worker.join();
    return !stop;
}
