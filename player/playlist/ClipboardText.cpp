#include "player/playlist/ClipboardText.h"

#include <QClipboard>
#include <QGuiApplication>

void ClipboardText::SetText(const std::string& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}
