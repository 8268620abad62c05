#include "player/shell/CommandLine.h"

#include "player/shell/LaunchRequest.h"

namespace {

struct Switch {
    const char* token;
    int32_t flag;
};
constexpr Switch kSwitches[] = {
    {"/wizard", kLaunchWizard},
    {"/fullscreen", kLaunchFullScreen},
    {"/nofullscreen", kLaunchNoFullScreen},
};

std::string Trim(const std::string& text) {
    constexpr char kBlanks[] = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    size_t pathStart = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        for (const Switch& known : kSwitches) {
            if (args[i] == known.token) {
                line.flags |= known.flag;
                pathStart = i + 1;
            }
        }
    }
    std::string joined;
    for (size_t i = pathStart; i < args.size(); ++i) {
        if (i > pathStart) joined += ' ';
        joined += args[i];
    }
    line.path = Trim(joined);
    if (!line.path.empty()) line.flags |= kLaunchPath;
    return line;
}
