#pragma once

// A circular doubly linked list whose record is its own sentinel: an empty list's next
// and prev point at the list itself.

#include <cstdint>

struct ListNode {
    ListNode* next;
    ListNode* prev;
    void* data;
};

struct LinkedList {
    ListNode sentinel;  // first, so the sentinel's address is the list's
    uint32_t count;
    uint32_t maxCount;
};

// An empty list, or null when out of memory.
LinkedList* ListCreate(uint32_t maxCount);
// Frees the list record; the list must be empty (nothing ever adds to it).
void ListDestroy(LinkedList* list);
