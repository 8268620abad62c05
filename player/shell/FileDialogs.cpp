#include "player/shell/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace {

constexpr char kOpenMediaTitle[] = "Kalvor - Open Media";
constexpr char kOpenSubtitlesTitle[] = "Kalvor - Open Subtitles";

const QStringList kMediaFilters = {
    "All Files (*)",
    "Video (*.3gp *.3g2 *.asf *.asx *.avi *.dat *.divx *.dts *.flac *.ifo *.ivf *.m1v *.m2v *.mkv "
    "*.mov *.mpv2 *.mp2v *.mp4 *.mpc *.mpe *.mpg *.mpeg *.ofr *.ogm *.part *.qt *.rm *.rmvb *.rv "
    "*.swf *.ts *.vcd *.vob *.vp6 *.wax *.wm *.wmv *.wvx *.xvid)",
    "Audio (*.aac *.ac3 *.aif *.aifc *.aiff *.ape *.au *.cda *.mid *.midi *.mka *.mpa *.mp2 *.mp3 "
    "*.ogg *.ra *.rmi *.wav *.wma)",
    "Images (*.bmp *.gif *.jpg *.tga)",
    "Playlists (*.m3u *.pls)",
};

std::optional<std::string> Ask(QWidget* owner, const char* title, const QStringList& filters) {
    QFileDialog dialog(owner, QString::fromUtf8(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> FileDialogs::AskMediaFile(QWidget* owner) {
    return Ask(owner, kOpenMediaTitle, kMediaFilters);
}

std::optional<std::string> FileDialogs::AskSubtitleFile(QWidget* owner) {
    return Ask(owner, kOpenSubtitlesTitle, {"Subtitles Types (*)"});
}
