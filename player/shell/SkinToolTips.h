#pragma once

// The main window's tooltip control: the skin's tool areas with their texts, shown in the
// skin's tooltip colours once the skin has activated it.

#include <QColor>
#include <QPoint>

#include <vector>

#include "player/skin/SkinResources.h"

class QWidget;

class SkinToolTips : public ISkinToolTip {
public:
    void SetTools(std::vector<SkinTool> tools) override { tools_ = std::move(tools); }
    void SetColors(uint32_t background, uint32_t text) override;
    void Activate(bool active) override { active_ = active; }
    // The title's tool is the last one the skin adds: it shows the whole title.
    void SetTitleTip(const std::string& text) {
        if (!tools_.empty()) tools_.back().text = text;
    }

    bool Active() const { return active_; }
    QColor Background() const { return background_; }
    QColor Text() const { return text_; }
    // The first tool, in the order added, whose area holds the point; nullptr when none.
    const SkinTool* ToolAt(const QPoint& local) const;
    // Shows the tool's text under the pointer; false (and any tip hidden) when none.
    bool Show(QWidget* window, const QPoint& local, const QPoint& global) const;

private:
    std::vector<SkinTool> tools_;
    QColor background_ = Qt::white;
    QColor text_ = Qt::black;
    bool active_ = false;
};
