#include "player/shell/KalvorParent.h"

#include <QMetaObject>
#include <QShowEvent>

#include "platform/ui/ProgramIcons.h"

CKalvorParent::CKalvorParent(PlayerFolders folders) : QDialog(nullptr), m_dlg(this, std::move(folders)) {
    setWindowTitle("Kalvor");
    setWindowIcon(programicons::Icon(programicons::kPlayer));
    // The owner has no taskbar button and is never seen; it only carries the loop.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DontShowOnScreen);
    resize(6, 6);
    connect(&m_dlg, &CKalvorDlg::ExitDone, this, &CKalvorParent::EndLoop);
}

CKalvorParent::~CKalvorParent() = default;

int CKalvorParent::DoModal() { return exec(); }

void CKalvorParent::EndLoop(int exitCode) {
    // Queued, so that it also ends a loop that has not started running yet.
    QMetaObject::invokeMethod(this, [this, exitCode] { done(exitCode); }, Qt::QueuedConnection);
}

void CKalvorParent::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_initialised) return;
    m_initialised = true;
    OnInitDialog();
}

void CKalvorParent::OnInitDialog() {
    if (!m_dlg.OnInitDialog()) EndLoop(m_dlg.FailureCode());
}
