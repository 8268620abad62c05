#include "player/options/DialogFileTypes.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/registry/RegistryStore.h"
#include "platform/system/Paths.h"
#include "platform/ui/ColorRef.h"
#include "platform/ui/DialogUnits.h"
#include "player/options/FileTypeTable.h"

namespace {

constexpr uint32_t kBackground = 0xF7EFEF;
constexpr uint32_t kInactiveLabel = 0xBDB5AD;
constexpr uint32_t kUsedLabel = 0xE7DED6;

void Paint(QWidget* widget, uint32_t background, Qt::GlobalColor text) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colorref::ToQColor(background));
    p.setColor(QPalette::WindowText, text);
    widget->setAutoFillBackground(true);
    widget->setPalette(p);
}

std::unique_ptr<FileTypeAssociations> UsersAssociations() {
    return std::make_unique<FileTypeAssociations>(XdgMimeApps(XdgMimeApps::FromEnvironment()),
                                                  paths::Join(paths::ProgramFolder(), "Kalvor"),
                                                  RegistryStore::DefaultPath());
}

}  // namespace

CDialogFileTypes::CDialogFileTypes(QWidget* parent,
                                   std::unique_ptr<FileTypeAssociations> associations)
    : QDialog(parent), associations_(associations ? std::move(associations) : UsersAssociations()) {
    setWindowTitle(kCaption);
    const DialogUnits du(font());
    resize(du.X(180), du.Y(200));
    Paint(this, kBackground, Qt::black);

    list_ = new QListWidget(this);
    list_->setGeometry(du.ToPixels(7, 7, 166, 150));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    selectAll_ = new QLabel("Select all", this);
    selectAll_->setGeometry(du.ToPixels(7, 162, 40, 10));
    clearAll_ = new QLabel("Clear all", this);
    clearAll_->setGeometry(du.ToPixels(52, 162, 40, 10));
    for (QLabel* label : {selectAll_, clearAll_}) {
        label->setAlignment(Qt::AlignCenter);
        label->installEventFilter(this);
    }
    auto* apply = new QPushButton("Apply", this);
    apply->setGeometry(du.ToPixels(66, 178, 50, 14));
    apply->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(du.ToPixels(122, 178, 50, 14));
    connect(apply, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, [this] { hide(); });
    connect(list_, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { OnItemChanged(item); });
    ColorLabels();
    setMouseTracking(true);
}

void CDialogFileTypes::RefreshList() {
    const auto rows = filetypes::Rows();
    if (!built_) {
        syncing_ = true;
        for (const FileTypeRow& row : rows) {
            auto* item =
                new QListWidgetItem(QString::fromStdString(filetypes::RowText(row)), list_);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
            item->setCheckState(Qt::Unchecked);
        }
        syncing_ = false;
        lastLabel_ = 0;
        ColorLabels();
        built_ = true;
    }
    const std::vector<bool> states = associations_->States();
    syncing_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(states[static_cast<size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    syncing_ = false;
}

void CDialogFileTypes::OnOK() {
    std::vector<bool> checked;
    for (int i = 0; i < list_->count(); ++i)
        checked.push_back(list_->item(i)->checkState() == Qt::Checked);
    associations_->Apply(checked, this);
    hide();
}

void CDialogFileTypes::ClickLabel(int label) {
    syncing_ = true;
    for (int i = 0; i < list_->count(); ++i)
        list_->item(i)->setCheckState(label == 1 ? Qt::Checked : Qt::Unchecked);
    syncing_ = false;
    lastLabel_ = label;
    ColorLabels();
}

// Rows of one type are one association: a change to one is a change to all.
void CDialogFileTypes::OnItemChanged(QListWidgetItem* item) {
    if (syncing_) return;
    const int row = list_->row(item);
    const std::string type = filetypes::Rows()[static_cast<size_t>(row)].mimeType;
    syncing_ = true;
    for (int i = 0; i < list_->count(); ++i) {
        if (i != row && filetypes::Rows()[static_cast<size_t>(i)].mimeType == type)
            list_->item(i)->setCheckState(item->checkState());
    }
    syncing_ = false;
}

void CDialogFileTypes::ColorLabels() {
    Paint(selectAll_, lastLabel_ == 1 ? kUsedLabel : kInactiveLabel,
          lastLabel_ == 1 ? Qt::black : Qt::white);
    Paint(clearAll_, lastLabel_ == 2 ? kUsedLabel : kInactiveLabel,
          lastLabel_ == 2 ? Qt::black : Qt::white);
}

bool CDialogFileTypes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == selectAll_) ClickLabel(1);
        if (watched == clearAll_) ClickLabel(2);
    }
    return QDialog::eventFilter(watched, event);
}

void CDialogFileTypes::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove_) onMouseMove_();
    QDialog::mouseMoveEvent(event);
}
