#pragma once

// Names to objects, over one hash table. Keys are kept by pointer: whoever inserts a name
// keeps its text alive until the name is removed.

#include "common/HashTable.h"

class NameMap {
public:
    NameMap();
    ~NameMap();
    NameMap(const NameMap&) = delete;
    NameMap& operator=(const NameMap&) = delete;

    // 1, or 0 when no node could be allocated (or the table could not be made).
    int Insert(const char* key, void* value);
    // Removes the entry found under key (the newest when the key was inserted twice).
    void Remove(const char* key);
    void* Find(const char* key) const;
    uint32_t Count() const { return table_ != nullptr ? table_->nodeCount : 0; }

private:
    HashTable* table_;
};
