#include "player/shell/AboutDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/ui/ProgramIcons.h"

namespace {

constexpr int kIconSize = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(kAboutCaption);
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName("icon");
    // The same picture the main window carries as its icon.
    icon->setPixmap(programicons::Icon(programicons::kPlayer).pixmap(kIconSize, kIconSize));
    auto* text = new QLabel(kAboutVersionText, this);
    text->setObjectName("version");
    auto* ok = new QPushButton(kAboutOkText, this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout(this);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(text, 1, Qt::AlignTop);
    row->addWidget(ok, 0, Qt::AlignTop);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

int CAboutDlg::RunModal() {
    CAboutDlg dlg;
    return dlg.exec();
}
