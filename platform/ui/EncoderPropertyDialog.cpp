#include "platform/ui/EncoderPropertyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "platform/media/EncoderProperties.h"
#include "platform/ui/OwnerWindow.h"

CEncoderPropertyDialog::CEncoderPropertyDialog(GstElement* encoder, QWidget* parent)
    : QDialog(parent), encoder_(media::ElementRef::Share(encoder)) {
    GObject* object = G_OBJECT(encoder);
    GstElementFactory* factory = gst_element_get_factory(encoder);
    setWindowTitle(QString::fromUtf8(
        factory ? gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME)
                : GST_OBJECT_NAME(encoder)));

    auto* form = new QWidget;
    auto* layout = new QFormLayout(form);
    for (const EncoderProperty& property : EditableProperties(object)) {
        Row row{property.name, nullptr, {}, {}};
        if (property.kind == EncoderProperty::Kind::Boolean) {
            auto* box = new QCheckBox;
            row.editor = box;
            row.text = [box] { return std::string(box->isChecked() ? "true" : "false"); };
            row.show = [box](const std::string& text) { box->setChecked(text == "true"); };
        } else if (property.kind == EncoderProperty::Kind::Enumeration) {
            auto* combo = new QComboBox;
            for (const auto& choice : property.choices) combo->addItem(QString::fromStdString(choice));
            row.editor = combo;
            row.text = [combo] { return combo->currentText().toStdString(); };
            row.show = [combo](const std::string& text) {
                combo->setCurrentText(QString::fromStdString(text));
            };
        } else {
            auto* edit = new QLineEdit;
            row.editor = edit;
            row.text = [edit] { return edit->text().toStdString(); };
            row.show = [edit](const std::string& text) { edit->setText(QString::fromStdString(text)); };
        }
        row.show(PropertyText(object, property.name));
        row.editor->setToolTip(QString::fromStdString(property.blurb));
        layout->addRow(QString::fromStdString(property.name), row.editor);
        rows_.push_back(std::move(row));
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(form);
    scroll->setWidgetResizable(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEncoderPropertyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEncoderPropertyDialog::reject);
    auto* main = new QVBoxLayout(this);
    main->addWidget(scroll);
    main->addWidget(buttons);
}

bool CEncoderPropertyDialog::ApplyRows() {
    GObject* object = G_OBJECT(encoder_.get());
    bool all = true;
    for (const Row& row : rows_) {
        const std::string text = row.text();
        if (text == PropertyText(object, row.property)) continue;
        if (!SetPropertyText(object, row.property, text)) {
            row.show(PropertyText(object, row.property));
            all = false;
        }
    }
    return all;
}

QWidget* CEncoderPropertyDialog::Editor(const std::string& property) const {
    for (const Row& row : rows_)
        if (row.property == property) return row.editor;
    return nullptr;
}

void CEncoderPropertyDialog::accept() {
    if (ApplyRows()) QDialog::accept();
}

bool ShowEncoderConfiguration(GstElement* encoder, uint32_t ownerWindow) {
    CEncoderPropertyDialog dialog(encoder);
    ownerwindow::MakeTransientFor(&dialog, ownerWindow);
    return dialog.exec() == QDialog::Accepted;
}
