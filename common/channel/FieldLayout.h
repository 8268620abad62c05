#pragma once

// Where a command keeps its parameters: the address and size of each fixed field, and the
// length and data addresses of each blob, in the order the command declares them. A
// transport reads and fills a command's parameters through this alone.

#include <cstdint>
#include <functional>
#include <vector>

// A parameter of variable length.
struct Blob {
    uint64_t length = 0;
    void* data = nullptr;
};

class FieldLayout {
public:
    enum class Mode : int32_t { None = 0, Counting = 1, Recording = 2 };

    // Runs describe twice: once counting, then, with the arrays sized from the counts,
    // recording each address.
    void Build(const std::function<void(FieldLayout&)>& describe);

    // Called by a command's description, in parameter order.
    void Field(void* address, uint64_t size);
    void AddBlob(Blob& blob);

    uint64_t FixedCount() const { return fixedCount_; }
    uint64_t FixedBytes() const { return fixedBytes_; }
    uint64_t BlobCount() const { return blobCount_; }
    const std::vector<void*>& Fields() const { return fields_; }
    const std::vector<uint64_t>& Sizes() const { return sizes_; }
    const std::vector<uint64_t*>& BlobLengths() const { return blobLengths_; }
    const std::vector<void**>& BlobData() const { return blobData_; }

private:
    void Clear();

    uint64_t fixedCount_ = 0;
    uint64_t fixedBytes_ = 0;
    uint64_t blobCount_ = 0;
    std::vector<void*> fields_;
    std::vector<uint64_t> sizes_;
    std::vector<uint64_t*> blobLengths_;
    std::vector<void**> blobData_;
    Mode mode_ = Mode::None;
    // Recording positions; the counts of the first pass stay as they are.
    size_t nextField_ = 0;
    size_t nextBlob_ = 0;
};
