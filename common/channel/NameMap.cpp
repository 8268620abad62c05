#include "common/channel/NameMap.h"

NameMap::NameMap() : table_(HashCreate(0xFFFFFFFF, nullptr, nullptr)) {}

NameMap::~NameMap() { HashDestroy(table_); }

int NameMap::Insert(const char* key, void* value) {
    return table_ != nullptr ? HashAllocInsert(table_, key, value) : 0;
}

void NameMap::Remove(const char* key) {
    if (table_ == nullptr) return;
    if (HashNode* node = HashLookup(table_, key)) HashDeleteFree(table_, node);
}

void* NameMap::Find(const char* key) const {
    const HashNode* node = table_ != nullptr ? HashLookup(table_, key) : nullptr;
    return node != nullptr ? node->data : nullptr;
}
