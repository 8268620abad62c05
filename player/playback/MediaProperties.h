#pragma once

// The "Media Properties" box: the open file's probed facts and the graph's elements whose
// settings the user can open. Modeless; filled and shown by ShowMediaInfo.

#include <QDialog>
#include <array>
#include <functional>

#include "player/playback/FilterPageList.h"
#include "player/playback/MediaInfoSource.h"

class QComboBox;
class QGroupBox;
class QLabel;

class CMediaProperties : public QDialog {
    Q_OBJECT
public:
    // Opens an element's settings; returns when the user closed them.
    using PropertyOpener = std::function<void(GstElement* element, QWidget* owner)>;

    explicit CMediaProperties(IMediaInfoSource* source, QWidget* parent = nullptr);
    ~CMediaProperties() override;

    void SetPropertyOpener(PropertyOpener opener) { opener_ = std::move(opener); }

    // Fills the texts and the element list, places the box and shows it.
    void ShowMediaInfo();
    // Lists the graph's elements afresh; the old list's references go first.
    void ListFilterPages();
    // The graph is about to be released: let go of its elements and close the settings of
    // one that are still open.
    void ReleaseFilters();
    // Opens the selected element's settings; nothing with an empty list.
    void OpenProperties();
    void Hide();

    // For tests.
    QString ValueText(int id) const;
    QComboBox* FilterBox() const { return filters_; }
    const FilterPageList& Filters() const { return list_; }

    void accept() override;
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    IMediaInfoSource* source_;
    PropertyOpener opener_;
    FilterPageList list_;
    int selected_ = 0;
    bool frameOpen_ = false;  // an element's settings are open
    QComboBox* filters_ = nullptr;
    std::array<QGroupBox*, 3> groups_{};
    std::array<std::pair<int, QLabel*>, 8> values_{};
};
