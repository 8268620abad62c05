#pragma once

// The small frameless dialog in which the selected playlist entries get a play range: a start
// and an end, each as hours, minutes, seconds and six fraction digits typed as digits only.
// Apply writes the range into every selected row, clipped to each file's length; the end of
// the entry that plays now follows at once. The dialog is made once and hidden between uses,
// so its fields keep their last contents. It is a window of its own: keys typed into it never
// reach the playlist.

#include <QDialog>
#include <array>
#include <vector>

#include "player/settings/MediaEntry.h"

class LengthWait;
class MediaEntryLists;
class QLineEdit;
class XCListCtrl;

class CPlayRange : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFirstField = 1034;  // 1034..1037 start, 1038..1041 end
    static constexpr uint32_t kDialogColor = 0xF7EFEF;
    static constexpr uint32_t kFieldColor = 0xF7F7F7;

    // rangeEnd is the settings' end of the playing entry's range; lengths are asked through
    // the playlist's wait. All must outlive the dialog; parent is the playlist window, over
    // which the dialog is centred.
    CPlayRange(XCListCtrl& list, LengthWait& lengths, double& rangeEnd, QWidget* parent);
    ~CPlayRange() override;

    // Fields from the first selected row, once its length is known; they keep what they
    // show when no row is selected or no length can be found.
    void ShowSelection();
    // ShowSelection, then centred over the parent without resizing, on top and shown.
    void Present();
    // Apply: hidden at once; the range goes into the rows selected now when their files'
    // lengths are in.
    void OnOK();

    // Field k (0..7) in id order.
    QLineEdit& Field(int k) { return *fields_[static_cast<size_t>(k)]; }

    // The range start..end written into rows of entries, each clipped to its file's length
    // (lengths[i] for rows[i]; 0 or less means the typed end stands). Nothing when
    // end <= start.
    static void ApplyRange(MediaEntryLists& entries, const std::vector<int>& rows, double start,
                           double end, const std::vector<double>& lengths, double& rangeEnd);

protected:
    void accept() override;

private:
    double ReadTime(int firstField) const;

    void Fill(const MediaEntry& entry);

    XCListCtrl& list_;
    LengthWait& lengths_;
    double& rangeEnd_;
    std::array<QLineEdit*, 8> fields_{};
};
