#pragma once

// A main window for the wizard's tests: records help and cursor calls, keeps a settings
// record and fixed rectangles, and answers message boxes from a queue.

#include <deque>
#include <string>
#include <vector>

#include "platform/system/ProcessLauncher.h"
#include "platform/ui/MessageSink.h"
#include "player/settings/PlayerSettings.h"
#include "player/wizard/LogoFileDialog.h"
#include "player/wizard/WizardHost.h"

struct WizardTestHost : IWizardHost {
    PlayerSettings settings{};
    std::vector<int> help;
    int cursorCalls = 0;
    QRect main{200, 100, 400, 100};
    QRect desktop{0, 0, 1024, 768};
    std::string appData;
    std::string program = "/opt/kalvor";

    PlayerSettings& Settings() override { return settings; }
    void ShowHelp(int context) override { help.push_back(context); }
    QRect MainWindowRect() override { return main; }
    QRect DesktopRect() override { return desktop; }
    void KeepCursorShown() override { ++cursorCalls; }
    std::string SubtitlesPath() override { return {}; }
    EffectParams Effects() override { return DefaultEffectParams(); }
    std::string AppDataFolder() override { return appData; }
    std::string ProgramFolder() override { return program; }
};

struct WizardTestSink : IMessageSink {
    struct Shown {
        std::string caption, text;
        MessageButtons buttons;
    };
    std::vector<Shown> shown;
    std::deque<MessageAnswer> answers;
    MessageAnswer Show(QWidget*, const std::string& caption, const std::string& text, MessageIcon,
                       MessageButtons buttons) override {
        shown.push_back({caption, text, buttons});
        if (answers.empty())
            return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct WizardTestLauncher : IProcessLauncher {
    std::vector<std::vector<std::string>> launches;
    bool StartDetached(const std::string&, const std::vector<std::string>& args) override {
        launches.push_back(args);
        return true;
    }
};

struct WizardTestFileDialog : ILogoFileDialog {
    std::deque<std::string> answers;  // empty text: the user cancels
    int asked = 0;
    std::optional<std::string> AskLogoFile(QWidget*) override {
        ++asked;
        if (answers.empty()) return std::nullopt;
        std::string answer = answers.front();
        answers.pop_front();
        if (answer.empty()) return std::nullopt;
        return answer;
    }
};
