#include "platform/system/ProcessLauncher.h"

#include <QProcess>
#include <QStringList>

namespace {

class DetachedLauncher : public IProcessLauncher {
public:
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        QStringList list;
        for (const std::string& arg : args) list << QString::fromStdString(arg);
        return QProcess::startDetached(QString::fromStdString(program), list);
    }
};

}  // namespace

IProcessLauncher& DefaultProcessLauncher() {
    static DetachedLauncher launcher;
    return launcher;
}
