#pragma once

// An owned empty list record; the video effects command keeps two for its parameters.

#include "common/LinkedList.h"

class PointerList {
public:
    PointerList() : list_(ListCreate(0xFFFFFFFF)) {}
    ~PointerList() { ListDestroy(list_); }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    const LinkedList* List() const { return list_; }  // null when out of memory

private:
    LinkedList* list_;
};
