#include "common/channel/FieldLayout.h"

void FieldLayout::Build(const std::function<void(FieldLayout&)>& describe) {
    Clear();
    mode_ = Mode::Counting;
    describe(*this);
    fields_.assign(fixedCount_, nullptr);
    sizes_.assign(fixedCount_, 0);
    blobLengths_.assign(blobCount_, nullptr);
    blobData_.assign(blobCount_, nullptr);
    mode_ = Mode::Recording;
    describe(*this);
    mode_ = Mode::None;
}

void FieldLayout::Clear() {
    fixedCount_ = fixedBytes_ = blobCount_ = 0;
    nextField_ = nextBlob_ = 0;
    mode_ = Mode::None;
}

void FieldLayout::Field(void* address, uint64_t size) {
    if (mode_ == Mode::Counting) {
        ++fixedCount_;
        fixedBytes_ += size;
    } else if (mode_ == Mode::Recording && nextField_ < fields_.size()) {
        fields_[nextField_] = address;
        sizes_[nextField_] = size;
        ++nextField_;
    }
}

void FieldLayout::AddBlob(Blob& blob) {
    if (mode_ == Mode::Counting) {
        ++blobCount_;
    } else if (mode_ == Mode::Recording && nextBlob_ < blobLengths_.size()) {
        blobLengths_[nextBlob_] = &blob.length;
        blobData_[nextBlob_] = &blob.data;
        ++nextBlob_;
    }
}
