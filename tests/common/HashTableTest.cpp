// The hash table keeps the command names of the channel: a growth that loses or reorders
// nodes, or a delete that cuts a chain, would make a name resolve to the wrong command.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/HashTable.h"

namespace {

struct TableDeleter {
    void operator()(HashTable* t) const { HashDestroy(t); }
};
using TablePtr = std::unique_ptr<HashTable, TableDeleter>;

TablePtr NewTable(HashTable::HashFn hash = nullptr) {
    return TablePtr(HashCreate(0xFFFFFFFF, nullptr, hash));
}

// The same mix in 64-bit arithmetic cut to 32 bits, with an explicit rotation.
uint32_t ReferenceHash(const std::string& key) {
    static const uint64_t t[16] = {0x49848F1B, 0xE6255DBA, 0x36DA5BDC, 0x47BF94E9,
                                   0x8CBCCE22, 0x559FC06A, 0xD268F536, 0xE10AF79A,
                                   0xC1AF4D69, 0x1D2917B5, 0xEC4C304D, 0x9EE5016C,
                                   0x69232F74, 0xFEAD7BB3, 0xE9089AB6, 0xF012F6AE};
    auto rotl = [](uint64_t v, int n) { return ((v << n) | (v >> (32 - n))) & 0xFFFFFFFF; };
    uint64_t acc = 0;
    for (unsigned char c : key) {
        acc = rotl(acc ^ t[(c + acc) % 16], 1);
        acc = rotl(acc ^ t[((c >> 4) + acc) % 16], 2);
    }
    return static_cast<uint32_t>(acc);
}

uint32_t HashZero(const char*) { return 0; }
uint32_t HashNewBit(const char*) { return 0x40; }  // the bit the first growth exposes

// Nodes reached by walking every chain; each must sit on the chain its hash selects.
uint32_t CountReachable(const HashTable& t) {
    uint32_t n = 0;
    for (uint32_t i = 0; i < t.chainCount; ++i) {
        for (const HashNode* node = t.chains[i]; node != nullptr; node = node->next) {
            EXPECT_EQ(node->hashValue & t.mask, i);
            ++n;
        }
    }
    return n;
}

std::vector<std::string> Keys(int n) {
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) keys.push_back("key" + std::to_string(i));
    return keys;
}

TEST(HashTable, DefaultHashGivesTheKnownValuesAndTakesBytesUnsigned) {
    EXPECT_EQ(HashStringDefault(""), 0u);
    EXPECT_EQ(HashStringDefault("a"), 0x4ABEE865u);
    EXPECT_EQ(HashStringDefault("VideoEffects"), 0xA4067508u);
    for (const std::string key : {"a", "VideoEffects", "\xC3\xA9t\xC3\xA9", "\xFF\x80 ~",
                                  "aeoiuerh oulwsvma", "ReturnFileInfo"}) {
        EXPECT_EQ(HashStringDefault(key.c_str()), ReferenceHash(key)) << key;
    }
}

TEST(HashTable, EachInsertAtTheHighMarkDoublesTheChainsAndKeepsEveryKey) {
    const TablePtr t = NewTable();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->chainCount, 64u);
    EXPECT_EQ(t->mask, 63u);
    const std::vector<std::string> keys = Keys(300);
    struct Step {
        int inserted, chains, mask, high, low;
    };
    const Step steps[] = {{128, 64, 63, 128, 32}, {129, 128, 127, 256, 64},
                          {256, 128, 127, 256, 64}, {257, 256, 255, 512, 128},
                          {300, 256, 255, 512, 128}};
    int done = 0;
    for (const Step& s : steps) {
        for (; done < s.inserted; ++done) {
            ASSERT_EQ(HashAllocInsert(t.get(), keys[done].c_str(), const_cast<std::string*>(&keys[done])), 1);
        }
        EXPECT_EQ(t->chainCount, uint32_t(s.chains)) << s.inserted;
        EXPECT_EQ(t->mask, uint32_t(s.mask)) << s.inserted;
        EXPECT_EQ(t->highMark, uint32_t(s.high)) << s.inserted;
        EXPECT_EQ(t->lowMark, uint32_t(s.low)) << s.inserted;
        EXPECT_EQ(t->nodeCount, uint32_t(s.inserted));
        EXPECT_EQ(CountReachable(*t), uint32_t(s.inserted));
        for (int i = 0; i < done; ++i) {
            const HashNode* node = HashLookup(t.get(), keys[i].c_str());
            ASSERT_NE(node, nullptr) << keys[i];
            EXPECT_EQ(node->data, &keys[i]);
        }
    }
}

TEST(HashTable, TheLaterOfTwoEqualKeysShadowsTheEarlierBeforeAndAfterGrowth) {
    // One chain for everything, staying put or moving up at the growth, and the real hash.
    for (HashTable::HashFn hash : {HashTable::HashFn{nullptr}, &HashZero, &HashNewBit}) {
        const TablePtr t = NewTable(hash);
        int older = 1, newer = 2;
        HashAllocInsert(t.get(), "dup", &older);
        HashAllocInsert(t.get(), "dup", &newer);
        EXPECT_EQ(HashLookup(t.get(), "dup")->data, &newer);
        const std::vector<std::string> keys = Keys(200);
        for (const std::string& k : keys) HashAllocInsert(t.get(), k.c_str(), nullptr);
        ASSERT_EQ(t->chainCount, 128u);
        EXPECT_EQ(HashLookup(t.get(), "dup")->data, &newer);
        HashDeleteFree(t.get(), HashLookup(t.get(), "dup"));
        EXPECT_EQ(HashLookup(t.get(), "dup")->data, &older);
        EXPECT_EQ(CountReachable(*t), 201u);
    }
}

TEST(HashTable, DeletingHeadMiddleOrTailOfAChainKeepsTheOthers) {
    const char* keys[] = {"a", "b", "c"};  // one chain, head "c", tail "a"
    for (const char* gone : {"c", "b", "a"}) {
        const TablePtr t = NewTable(&HashZero);
        for (const char* k : keys) HashAllocInsert(t.get(), k, nullptr);
        HashNode* node = HashLookup(t.get(), gone);
        ASSERT_EQ(HashDelete(t.get(), node), node);
        EXPECT_EQ(node->next, nullptr);
        EXPECT_EQ(t->nodeCount, 2u);
        EXPECT_EQ(HashDelete(t.get(), node), nullptr) << "not in the table any more";
        EXPECT_EQ(t->nodeCount, 2u);
        for (const char* k : keys) {
            EXPECT_EQ(HashLookup(t.get(), k) == nullptr, k == gone) << gone << " " << k;
        }
        EXPECT_EQ(CountReachable(*t), 2u);
        delete node;
    }
}

HashNode** RefuseResize(HashNode**, size_t) { return nullptr; }

TEST(HashTable, AFailedGrowthLeavesTheTableWorkingAndALaterOneSucceeds) {
    const TablePtr t = NewTable();
    const HashTable::ResizeChainsFn resize = t->resizeChains;
    t->resizeChains = &RefuseResize;
    const std::vector<std::string> keys = Keys(200);
    for (const std::string& k : keys) ASSERT_EQ(HashAllocInsert(t.get(), k.c_str(), nullptr), 1);
    EXPECT_EQ(t->chainCount, 64u);
    EXPECT_EQ(t->mask, 63u);
    EXPECT_EQ(t->highMark, 128u);
    for (const std::string& k : keys) EXPECT_NE(HashLookup(t.get(), k.c_str()), nullptr) << k;
    t->resizeChains = resize;
    HashAllocInsert(t.get(), "one more", nullptr);
    EXPECT_EQ(t->chainCount, 128u);
    EXPECT_EQ(CountReachable(*t), 201u);
}

struct NodeCounter {
    int allocated = 0;
    int freed = 0;
};
HashNode* CountingAlloc(void* context) {
    ++static_cast<NodeCounter*>(context)->allocated;
    return new HashNode{};
}
void CountingFree(HashNode* node, void* context) {
    ++static_cast<NodeCounter*>(context)->freed;
    delete node;
}
HashNode* NoNode(void*) { return nullptr; }

TEST(HashTable, NodeCallbacksGetTheContextAndANullNodeInsertsNothing) {
    for (HashTable::AllocNodeFn alloc : {HashTable::AllocNodeFn{nullptr}, &NoNode}) {
        const TablePtr t = NewTable();
        t->allocNode = alloc;
        EXPECT_EQ(HashAllocInsert(t.get(), "x", nullptr), 0);
        EXPECT_EQ(t->nodeCount, 0u);
        EXPECT_EQ(HashLookup(t.get(), "x"), nullptr);
    }
    NodeCounter counter;
    {
        const TablePtr t = NewTable();
        t->allocNode = &CountingAlloc;
        t->freeNode = &CountingFree;
        t->context = &counter;
        const std::vector<std::string> keys = Keys(150);
        for (const std::string& k : keys) HashAllocInsert(t.get(), k.c_str(), nullptr);
        HashDeleteFree(t.get(), HashLookup(t.get(), "key7"));
        EXPECT_EQ(counter.freed, 1);
    }
    EXPECT_EQ(counter.allocated, 150);
    EXPECT_EQ(counter.freed, 150) << "destroying the table frees the rest";
}

}  // namespace
