#pragma once

// The player's help: HTML pages in the program folder's help/ folder, one per window, the
// wizard's jobs as sections of its page. A help context id names the page; the page opens
// in the desktop's browser through an opener that tests replace.

#include <QUrl>
#include <string>

class IUrlOpener {
public:
    virtual ~IUrlOpener() = default;
    virtual bool Open(const QUrl& url) = 0;
};

class HelpOpener {
public:
    static constexpr char kHelpFolder[] = "/help/";

    struct Page {
        const char* file;
        const char* section;  // the fragment; empty for the top of the page
    };
    // The page of a context id; the main window's for an id that has none.
    static Page PageFor(int contextId);

    // opener nullptr: the desktop's (QDesktopServices).
    explicit HelpOpener(std::string programFolder, IUrlOpener* opener = nullptr);

    QUrl UrlFor(int contextId) const;
    // Failures are not reported: there is nothing the user could do about them here.
    bool Show(int contextId);

private:
    std::string programFolder_;
    IUrlOpener* opener_;
};
