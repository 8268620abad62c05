#include "dialogs/DialogWalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <QWidget>
#include <cstdlib>

std::string WalkDpi() {
    const char* dpi = std::getenv("KALVOR_TEST_DPI");
    return dpi && *dpi ? dpi : "96";
}

void Walk::Page(QWidget& window, const std::string& name, const std::vector<PaintedText>& painted,
                bool show) {
    if (show && !window.isVisible()) window.show();
    QCoreApplication::processEvents();
    window.ensurePolished();
    if (window.layout()) window.layout()->activate();
    for (const std::string& fault : LayoutFaults(window, painted))
        faults_.push_back(name + ": " + fault);
    ++pages_;
    if (const char* folder = std::getenv("KALVOR_DIALOG_GRABS")) {
        QDir().mkpath(folder);
        window.grab().save(QString("%1/%2-%3.png")
                               .arg(folder, QString::fromStdString(WalkDpi()),
                                    QString::fromStdString(name)));
    }
}
