#include "common/HashTable.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kInitialHighMark = 128;
constexpr uint32_t kInitialLowMark = 32;

constexpr uint32_t kHashWords[16] = {
    0x49848F1B, 0xE6255DBA, 0x36DA5BDC, 0x47BF94E9, 0x8CBCCE22, 0x559FC06A,
    0xD268F536, 0xE10AF79A, 0xC1AF4D69, 0x1D2917B5, 0xEC4C304D, 0x9EE5016C,
    0x69232F74, 0xFEAD7BB3, 0xE9089AB6, 0xF012F6AE,
};

HashNode* AllocNodeDefault(void*) { return new (std::nothrow) HashNode{}; }

void FreeNodeDefault(HashNode* node, void*) { delete node; }

HashNode** ResizeChainsDefault(HashNode** chains, size_t count) {
    return static_cast<HashNode**>(std::realloc(chains, count * sizeof(HashNode*)));
}

// Doubles the chains. Each old chain is split keeping its order, so of two equal keys the
// later still comes first; on any failure the table is left as it was.
void Grow(HashTable* table) {
    const uint32_t oldCount = table->chainCount;
    if (oldCount > UINT32_MAX / 2) return;
    HashNode** chains = table->resizeChains(table->chains, size_t{oldCount} * 2);
    if (chains == nullptr) return;
    table->chains = chains;
    const uint32_t newBit = table->mask + 1;
    for (uint32_t i = 0; i < oldCount; ++i) {
        HashNode* stay = nullptr;
        HashNode* move = nullptr;
        HashNode** stayTail = &stay;
        HashNode** moveTail = &move;
        for (HashNode* node = chains[i]; node != nullptr;) {
            HashNode* next = node->next;
            HashNode**& tail = (node->hashValue & newBit) != 0 ? moveTail : stayTail;
            *tail = node;
            tail = &node->next;
            node = next;
        }
        *stayTail = nullptr;
        *moveTail = nullptr;
        chains[i] = stay;
        chains[i + oldCount] = move;
    }
    table->mask = 2 * table->mask + 1;
    table->chainCount = oldCount * 2;
    table->lowMark *= 2;
    table->highMark *= 2;
}

}  // namespace

HashTable* HashCreate(uint32_t maxCount, HashTable::CompareFn compare, HashTable::HashFn hash) {
    auto* table = new (std::nothrow) HashTable{};
    if (table == nullptr) return nullptr;
    table->chains = static_cast<HashNode**>(std::calloc(kHashInitialChains, sizeof(HashNode*)));
    if (table->chains == nullptr) {
        delete table;
        return nullptr;
    }
    table->chainCount = kHashInitialChains;
    table->nodeCount = 0;
    table->maxCount = maxCount;
    table->highMark = kInitialHighMark;
    table->lowMark = kInitialLowMark;
    table->compare = compare != nullptr ? compare : HashCompareDefault;
    table->hash = hash != nullptr ? hash : HashStringDefault;
    table->allocNode = AllocNodeDefault;
    table->freeNode = FreeNodeDefault;
    table->context = nullptr;
    table->mask = kHashInitialChains - 1;
    table->dynamic = 1;
    table->resizeChains = ResizeChainsDefault;
    return table;
}

void HashDestroy(HashTable* table) {
    if (table == nullptr) return;
    for (uint32_t i = 0; i < table->chainCount; ++i) {
        for (HashNode* node = table->chains[i]; node != nullptr;) {
            HashNode* next = node->next;
            table->freeNode(node, table->context);
            node = next;
        }
    }
    std::free(table->chains);
    delete table;
}

void HashInsert(HashTable* table, HashNode* node, const char* key) {
    if (table->dynamic == 1 && table->nodeCount >= table->highMark) Grow(table);
    const uint32_t h = table->hash(key);
    node->key = key;
    node->hashValue = h;
    HashNode*& head = table->chains[h & table->mask];
    node->next = head;
    head = node;
    ++table->nodeCount;
}

int HashAllocInsert(HashTable* table, const char* key, void* data) {
    HashNode* node = table->allocNode != nullptr ? table->allocNode(table->context) : nullptr;
    if (node == nullptr) return 0;
    HashNodeInit(node, data);
    HashInsert(table, node, key);
    return 1;
}

HashNode* HashLookup(const HashTable* table, const char* key) {
    const uint32_t h = table->hash(key);
    for (HashNode* node = table->chains[h & table->mask]; node != nullptr; node = node->next) {
        if (node->hashValue == h && table->compare(node->key, key) == 0) return node;
    }
    return nullptr;
}

HashNode* HashDelete(HashTable* table, HashNode* node) {
    for (HashNode** link = &table->chains[node->hashValue & table->mask]; *link != nullptr;
         link = &(*link)->next) {
        if (*link == node) {
            *link = node->next;
            node->next = nullptr;
            --table->nodeCount;
            return node;
        }
    }
    return nullptr;
}

void HashDeleteFree(HashTable* table, HashNode* node) {
    if (HashDelete(table, node) != nullptr) table->freeNode(node, table->context);
}

void HashNodeInit(HashNode* node, void* data) {
    node->data = data;
    node->next = nullptr;
}

int HashCompareDefault(const char* a, const char* b) { return std::strcmp(a, b); }

uint32_t HashStringDefault(const char* key) {
    uint32_t acc = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(key); *p != 0; ++p) {
        const uint32_t c = *p;
        acc ^= kHashWords[(c + acc) & 15];
        acc = std::rotl(acc, 1);
        acc ^= kHashWords[((c >> 4) + acc) & 15];
        acc = std::rotl(acc, 2);
    }
    return acc;
}
