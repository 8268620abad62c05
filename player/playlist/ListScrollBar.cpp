#include "player/playlist/ListScrollBar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>

#include "player/playlist/XCListCtrl.h"

ListScrollBar::ListScrollBar(QWidget* owner)
    : track_(owner), thumb_(owner), down_(owner), up_(owner) {}

void ListScrollBar::SetList(XCListCtrl* list) {
    for (XCListCtrlScrollPart* part :
         std::initializer_list<XCListCtrlScrollPart*>{&track_, &thumb_, &down_, &up_})
        part->SetList(list);
    if (list) list->SetScrollParts(this);
}

void ListScrollBar::SetScrollSkin(const QImage& skin) {
    down_.SetScrollSkin(skin);
    up_.SetScrollSkin(skin);
    track_.SetScrollSkin(skin);
    thumb_.SetScrollSkin(skin);
}

void ListScrollBar::SetVisible(bool visible) {
    for (QWidget* part : std::initializer_list<QWidget*>{&track_, &thumb_, &down_, &up_})
        part->setVisible(visible);
}

void ListScrollBar::PlaceAllParts() {
    down_.Place();
    up_.Place();
    track_.Place();
    thumb_.RepositionThumb();
}

QImage ListScrollBar::LoadBitmap(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
        info.st_size <= kMaxBitmapBytes) {
        bytes.resize(static_cast<qsizetype>(info.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n =
                ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
            if (n <= 0) break;
            done += n;
        }
        bytes.resize(done);
    }
    ::close(fd);
    QImage image;
    // Only the BMP decoder is offered to the skin's file.
    if (bytes.isEmpty() || !image.loadFromData(bytes, "BMP")) return {};
    return image.convertToFormat(QImage::Format_RGB32);
}
