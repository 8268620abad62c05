#pragma once

// How the rows of a list follow its entries: MediaEntryLists tells its one observer (the
// Qt item model under the list control) before and after every change of its view, so no
// caller can change entries without the rows changing with them.

class IMediaEntryListsObserver {
public:
    virtual ~IMediaEntryListsObserver() = default;
    virtual void RowsAboutToBeInserted(int first, int last) = 0;
    virtual void RowsInserted() = 0;
    virtual void RowsAboutToBeRemoved(int first, int last) = 0;
    virtual void RowsRemoved() = 0;
    // Texts or the bold row of rows first..last changed; the row count did not.
    virtual void RowsChanged(int first, int last) = 0;
    // The whole view is rebuilt: a filter switch, a clear, or a batch of changes.
    virtual void ViewAboutToBeReset() = 0;
    virtual void ViewReset() = 0;
};
