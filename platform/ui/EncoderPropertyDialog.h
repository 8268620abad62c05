#pragma once

// The configuration dialog of an encoder: one row per editable property, built from the
// encoder's own property descriptions. OK writes the edited values; a row whose text the
// property refuses is reset to the current value and the dialog stays open.

#include <gst/gst.h>

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/media/GstRef.h"

class CEncoderPropertyDialog : public QDialog {
public:
    CEncoderPropertyDialog(GstElement* encoder, QWidget* parent = nullptr);

    // Writes every row; true when all were taken.
    bool ApplyRows();
    // The editor of a property, for tests; nullptr when it has none.
    QWidget* Editor(const std::string& property) const;

    void accept() override;

private:
    struct Row {
        std::string property;
        QWidget* editor;
        std::function<std::string()> text;
        std::function<void(const std::string&)> show;
    };

    media::ElementRef encoder_;
    std::vector<Row> rows_;
};

// Shows the dialog modally for the player's window; true when the user pressed OK.
bool ShowEncoderConfiguration(GstElement* encoder, uint32_t ownerWindow);
