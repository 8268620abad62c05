#pragma once

// The About box: the program's icon, its name and version, and OK. Opened modally from
// the main window's system menu.

#include <QDialog>

inline constexpr char kAboutCaption[] = "About Kalvor";
inline constexpr char kAboutVersionText[] = "Kalvor Version 1.3";
inline constexpr char kAboutOkText[] = "OK";

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Builds the box without a parent and shows it until OK (or Escape) closes it;
    // returns QDialog::Accepted for OK.
    static int RunModal();
};
