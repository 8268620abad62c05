#pragma once

// A chained hash table with string keys, in plain functions over a plain record whose
// node allocation, comparison and hashing are replaceable callbacks. Keys are kept by
// pointer: the caller keeps each key alive while its node is in the table.

#include <cstddef>
#include <cstdint>

struct HashNode {
    HashNode* next;
    const char* key;
    void* data;
    uint32_t hashValue;
};

struct HashTable {
    using CompareFn = int (*)(const char* a, const char* b);  // 0 when equal
    using HashFn = uint32_t (*)(const char* key);
    using AllocNodeFn = HashNode* (*)(void* context);  // null when out of memory
    using FreeNodeFn = void (*)(HashNode* node, void* context);
    // Gives the chain array a new length keeping its first entries, or null leaving it as
    // it was (realloc's contract); replaceable so a failed growth can be tried.
    using ResizeChainsFn = HashNode** (*)(HashNode** chains, size_t count);

    HashNode** chains;
    uint32_t chainCount;  // a power of two
    uint32_t nodeCount;
    uint32_t maxCount;  // the creator's limit, stored only
    uint32_t highMark;  // the node count at which the next insert grows the table
    uint32_t lowMark;
    CompareFn compare;
    HashFn hash;
    AllocNodeFn allocNode;
    FreeNodeFn freeNode;
    void* context;
    uint32_t mask;  // chainCount - 1
    int32_t dynamic;  // 1: the table may grow
    ResizeChainsFn resizeChains;
};

inline constexpr uint32_t kHashInitialChains = 64;

// Null when out of memory. Null compare selects HashCompareDefault, null hash
// HashStringDefault.
HashTable* HashCreate(uint32_t maxCount, HashTable::CompareFn compare, HashTable::HashFn hash);
// Frees every node through freeNode, then the table. Null is allowed.
void HashDestroy(HashTable* table);

// Inserts a prepared node; a key inserted again shadows the earlier node for lookups.
void HashInsert(HashTable* table, HashNode* node, const char* key);
// 1, or 0 (table unchanged) when no node could be allocated.
int HashAllocInsert(HashTable* table, const char* key, void* data);
// The node inserted last under key, or null.
HashNode* HashLookup(const HashTable* table, const char* key);
// Unlinks the node and returns it; null (table unchanged) when it is not in the table.
HashNode* HashDelete(HashTable* table, HashNode* node);
void HashDeleteFree(HashTable* table, HashNode* node);
void HashNodeInit(HashNode* node, void* data);

int HashCompareDefault(const char* a, const char* b);
uint32_t HashStringDefault(const char* key);
