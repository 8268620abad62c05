#include "player/wizard/LogoFileDialog.h"

#include <QFileDialog>

namespace {

struct Filter {
    const char* label;
    const char* patterns;  // separated by ";"
};

// "All Files" is every name here, not only names with a dot in them.
constexpr Filter kFilters[] = {
    {"All Files", "*"},
    {"Video",
     "*.3gp;*.3g2;*.asf;*.asx;*.avi;*.dat;*.divx;*.dts;*.flac;*.ifo;*.ivf;*.m1v;*.m2v;*.mkv;*.mov;*"
     ".mpv2;*.mp2v;"
     "*.mp4;*.mpc;*.mpe;*.mpg;*.mpeg;*.ofr;*.ogm;*.part;*.qt;*.rm;*.rmvb;*.rv;*.swf;*.ts;*.vcd;*."
     "vob;*.vp6;*.wax;"
     "*.wm;*.wmv;*.wvx;*.xvid"},
    {"Images", "*.bmp;*.gif;*.jpg;*.tga"},
};

}  // namespace

std::string LogoFileFilters() {
    std::string filters;
    for (const Filter& filter : kFilters) {
        if (!filters.empty()) filters += ";;";
        std::string patterns = filter.patterns;
        for (char& c : patterns)
            if (c == ';') c = ' ';
        filters += std::string(filter.label) + " (" + patterns + ")";
    }
    return filters;
}

std::optional<std::string> LogoFileDialog::AskLogoFile(QWidget* owner) {
    const QString filters = QString::fromStdString(LogoFileFilters());
    QString selected = filters.section(";;", 0, 0);
    const QString chosen = QFileDialog::getOpenFileName(owner, QString::fromUtf8(kLogoDialogTitle),
                                                        QString(), filters, &selected);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}
