#include "platform/ui/MessageSink.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class MessageBoxSink : public IMessageSink {
public:
    MessageAnswer Show(QWidget* owner, const std::string& caption, const std::string& text,
                       MessageIcon icon, MessageButtons buttons) override {
        QMessageBox box(owner);
        box.setWindowTitle(QString::fromStdString(caption));
        box.setText(QString::fromStdString(text));
        box.setIcon(ToQt(icon));
        if (buttons == MessageButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }

private:
    static QMessageBox::Icon ToQt(MessageIcon icon) {
        switch (icon) {
            case MessageIcon::Information: return QMessageBox::Information;
            case MessageIcon::Warning: return QMessageBox::Warning;
            case MessageIcon::Error: return QMessageBox::Critical;
            case MessageIcon::Question: return QMessageBox::Question;
            case MessageIcon::None: break;
        }
        return QMessageBox::NoIcon;
    }
};

class StderrSink : public IMessageSink {
public:
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text, MessageIcon,
                       MessageButtons buttons) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        std::fflush(stderr);
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};

IMessageSink* g_sink = nullptr;

IMessageSink& DefaultSink() {
    static MessageBoxSink boxes;
    static StderrSink printer;
    const char* mode = std::getenv("KALVOR_MESSAGES");
    if (mode && std::strcmp(mode, "stderr") == 0) return printer;
    return boxes;
}

}  // namespace

IMessageSink& Messages() { return g_sink ? *g_sink : DefaultSink(); }

void SetMessageSink(IMessageSink* sink) { g_sink = sink; }

void ShowMessage(QWidget* owner, const std::string& caption, const std::string& text,
                 MessageIcon icon) {
    Messages().Show(owner, caption, text, icon, MessageButtons::Ok);
}
