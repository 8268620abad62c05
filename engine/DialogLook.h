#pragma once

// korc's pages and progress dialog share one look: black text on 0xF7EFEF, edits included,
// painted with one brush.

#include <QBrush>
#include <QString>
#include <cstdint>

class QWidget;

inline constexpr uint32_t kDialogBackground = 0xF7EFEF;  // COLORREF

// The one brush every korc dialog paints its background with.
const QBrush& DialogBrush();
// Gives the widget and its children the look.
void ApplyDialogLook(QWidget* dialog);
// A control's object name: its control id, so that tests and the page find it by number.
QString ControlName(int id);
