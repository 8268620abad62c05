#include "player/playlist/MediaEntryModel.h"

#include <QFont>

#include "player/playlist/MediaEntryLists.h"

namespace {
constexpr int kColumns = 3;
}

MediaEntryModel::MediaEntryModel(MediaEntryLists& lists, QObject* parent)
    : QAbstractTableModel(parent), lists_(lists) {
    lists_.SetObserver(this);
}

MediaEntryModel::~MediaEntryModel() { lists_.SetObserver(nullptr); }

int MediaEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : lists_.Count();
}

int MediaEntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant MediaEntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= lists_.Count()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(lists_.ColumnText(index.row(), index.column()));
        case Qt::FontRole:
            if (index.row() == lists_.CurrentRow()) {
                // Only the weight is set: the view's own list font supplies the rest.
                QFont bold;
                bold.setWeight(QFont::ExtraBold);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags MediaEntryModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void MediaEntryModel::RowsAboutToBeInserted(int first, int last) {
    beginInsertRows({}, first, last);
}
void MediaEntryModel::RowsInserted() { endInsertRows(); }
void MediaEntryModel::RowsAboutToBeRemoved(int first, int last) {
    beginRemoveRows({}, first, last);
}
void MediaEntryModel::RowsRemoved() { endRemoveRows(); }
void MediaEntryModel::RowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, kColumns - 1));
}
void MediaEntryModel::ViewAboutToBeReset() { beginResetModel(); }
void MediaEntryModel::ViewReset() { endResetModel(); }
