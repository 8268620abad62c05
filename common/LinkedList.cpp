#include "common/LinkedList.h"

#include <new>

LinkedList* ListCreate(uint32_t maxCount) {
    auto* list = new (std::nothrow) LinkedList{};
    if (list == nullptr) return nullptr;
    list->sentinel.next = &list->sentinel;
    list->sentinel.prev = &list->sentinel;
    list->count = 0;
    list->maxCount = maxCount;
    return list;
}

void ListDestroy(LinkedList* list) { delete list; }
