#include "player/shell/SkinToolTips.h"

#include <QPalette>
#include <QToolTip>

#include "platform/ui/ColorRef.h"

void SkinToolTips::SetColors(uint32_t background, uint32_t text) {
    background_ = colorref::ToQColor(background);
    text_ = colorref::ToQColor(text);
}

const SkinTool* SkinToolTips::ToolAt(const QPoint& local) const {
    for (const SkinTool& tool : tools_)
        if (tool.rect.contains(local) && !tool.text.empty()) return &tool;
    return nullptr;
}

bool SkinToolTips::Show(QWidget* window, const QPoint& local, const QPoint& global) const {
    const SkinTool* tool = active_ ? ToolAt(local) : nullptr;
    if (!tool) {
        QToolTip::hideText();
        return false;
    }
    // Only the main window shows tooltips, so the application's tooltip colours are its.
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, background_);
    palette.setColor(QPalette::ToolTipText, text_);
    QToolTip::setPalette(palette);
    QToolTip::showText(global, QString::fromStdString(tool->text), window, tool->rect);
    return true;
}
