#pragma once

// "Register File Types": one check box per extension of the table, showing whether the
// player opens it now, and Apply to take over or give back the checked and unchecked types.

#include <QDialog>
#include <functional>
#include <memory>

#include "player/options/FileTypeAssociations.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CDialogFileTypes : public QDialog {
public:
    static constexpr char kCaption[] = "Register File Types";
    enum : int { kListId = 1200, kSelectAllId = 1201, kClearAllId = 1202 };

    // Without associations, the user's own (environment folders, this program).
    explicit CDialogFileTypes(QWidget* parent,
                              std::unique_ptr<FileTypeAssociations> associations = {});

    // Builds the list the first time; every time, the check boxes from the lists as they
    // are now, not as last applied.
    void RefreshList();
    // Writes the associations of the check boxes and closes.
    void OnOK();

    QListWidget* List() const { return list_; }
    // 0 none, 1 "Select all", 2 "Clear all".
    int LastLabel() const { return lastLabel_; }
    void ClickLabel(int label);
    // What a pointer moving over the dialog does besides (the options dialog's handler).
    void SetMouseMoveHandler(std::function<void()> handler) { onMouseMove_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void OnItemChanged(QListWidgetItem* item);
    void ColorLabels();

    std::unique_ptr<FileTypeAssociations> associations_;
    QListWidget* list_ = nullptr;
    QLabel* selectAll_ = nullptr;
    QLabel* clearAll_ = nullptr;
    int lastLabel_ = 0;
    bool built_ = false;
    bool syncing_ = false;  // while rows of one type are set together
    std::function<void()> onMouseMove_;
};
