#pragma once

// The Qt item model under XCListCtrl: three columns read live from MediaEntryLists, the
// now-playing row in bold. It holds no texts of its own, so a row always shows its entry.

#include <QAbstractTableModel>

#include "player/playlist/MediaEntryListsObserver.h"

class MediaEntryLists;

class MediaEntryModel : public QAbstractTableModel, private IMediaEntryListsObserver {
    Q_OBJECT
public:
    explicit MediaEntryModel(MediaEntryLists& lists, QObject* parent = nullptr);
    ~MediaEntryModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void RowsAboutToBeInserted(int first, int last) override;
    void RowsInserted() override;
    void RowsAboutToBeRemoved(int first, int last) override;
    void RowsRemoved() override;
    void RowsChanged(int first, int last) override;
    void ViewAboutToBeReset() override;
    void ViewReset() override;

    MediaEntryLists& lists_;
};
