#include "player/options/MimePackage.h"

namespace mimepackage {
namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string Build(const std::vector<Type>& types) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const Type& type : types) {
        text += "  <mime-type type=\"" + Escaped(type.name) + "\">\n";
        text += "    <comment>" + Escaped(type.comment) + "</comment>\n";
        text += "    <glob pattern=\"" + Escaped(type.glob) + "\"/>\n";
        text += "  </mime-type>\n";
    }
    return text + "</mime-info>\n";
}

}  // namespace mimepackage
