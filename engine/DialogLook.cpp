#include "engine/DialogLook.h"

#include <QPalette>
#include <QWidget>

#include "platform/ui/ColorRef.h"

const QBrush& DialogBrush() {
    static const QBrush brush(colorref::ToQColor(kDialogBackground));
    return brush;
}

void ApplyDialogLook(QWidget* dialog) {
    QPalette palette = dialog->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setBrush(role, DialogBrush());
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, Qt::black);
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
}

QString ControlName(int id) { return QString::number(id); }
