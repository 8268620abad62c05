#pragma once

// The built player run as a program, as the end-to-end tests start it. Test programs get
// KALVOR_PROGRAM_DIR from the build.

#include <QProcessEnvironment>
#include <QString>
#include <string>

// The player in the build's program folder.
inline QString PlayerProgram() { return QString(KALVOR_PROGRAM_DIR) + "/Kalvor"; }

// The environment of a player on the X server display (":N"), or on no screen at all when
// display is empty. Its messages go to standard error, where a test reads them, not to boxes
// that would wait for an answer.
inline QProcessEnvironment PlayerEnvironment(const std::string& display = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", display.empty() ? "offscreen" : "xcb");
    if (!display.empty()) environment.insert("DISPLAY", QString::fromStdString(display));
    environment.insert("KALVOR_MESSAGES", "stderr");
    return environment;
}
