#pragma once

// A QApplication on the xcb platform, for tests that start their own X server: Qt reads the
// platform only when the application is made, so it is set first. The arguments live as
// long as the application does.

#include <QApplication>
#include <string>

class XcbApplication {
public:
    explicit XcbApplication(const std::string& name);

private:
    std::string name_;
    char* argv_[2];
    int argc_ = 1;
    QApplication application_;
};
