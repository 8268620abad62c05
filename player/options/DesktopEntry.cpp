#include "player/options/DesktopEntry.h"

#include <cstdlib>

namespace desktopentry {

std::string ExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '%')
            value += "%%";
        else
            value += c;
    }
    return value;
}

std::string Build(const std::string& programPath, const std::vector<std::string>& mimeTypes) {
    std::string types;
    for (const std::string& type : mimeTypes) types += type + ";";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kalvor\n"
           "Comment=" +
           std::string(kComment) +
           "\n"
           "Exec=" +
           ExecArgument(programPath) +
           " %f\n"
           "Icon=multimedia-player\n"
           "Terminal=false\n"
           "MimeType=" +
           types + "\n";
}

std::string ApplicationsFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/applications";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/applications";
}

}  // namespace desktopentry
