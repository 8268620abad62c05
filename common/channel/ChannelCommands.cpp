#include "common/channel/ChannelCommands.h"

#include "common/channel/IPCChannel.h"
#include "common/channel/IPCEndpoint.h"

namespace {

template <class T>
void Fixed(FieldLayout& layout, T& value) {
    layout.Field(&value, sizeof value);
}

// Offsets and sizes of the file information record's fields.
struct RecordField {
    size_t offset;
    size_t size;
};
constexpr RecordField kFileInfoFields[] = {
    {0, 4},  {4, 4},  {8, 8},  {16, 8}, {24, 4}, {28, 4}, {32, 2},
    {36, 4}, {40, 4}, {44, 2}, {48, 4}, {52, 4}, {56, 2}, {58, 2},
};
static_assert(kFileInfoFields[13].offset + kFileInfoFields[13].size ==
              EasyMediaReturnFileInfo::kRecordSize);

template <class T>
std::unique_ptr<EasyFunction> Make() {
    return std::make_unique<T>();
}

template <class T>
constexpr ChannelCommandEntry Entry() {
    return {T::kName, &Make<T>};
}

}  // namespace

const ChannelCommandEntry kChannelCommands[18] = {
    Entry<IPCVideoEffects>(),
    Entry<EasyMediaComponentID>(),
    Entry<EasyMediaVideoWindowID>(),
    Entry<EasyMediaOpen>(),
    Entry<EasyMediaOpenSubtitles>(),
    Entry<EasyMediaPlay>(),
    Entry<EasyMediaPause>(),
    Entry<EasyMediaStop>(),
    Entry<EasyMediaSetPosition>(),
    Entry<EasyMediaSetWindowPosition>(),
    Entry<EasyMediaAudioVolume>(),
    Entry<EasyMediaHideCursor>(),
    Entry<EasyMediaRefresh>(),
    Entry<EasyMediaVideoEffectInteger>(),
    Entry<EasyMediaVideoEffectFloat>(),
    Entry<EasyMediaVideoEffectArray>(),
    Entry<EasyMediaReturnPosition>(),
    Entry<EasyMediaReturnFileInfo>(),
};

void IPCVideoEffects::DescribeParameters(FieldLayout& layout) {
    for (int32_t& value : values_) Fixed(layout, value);
    layout.AddBlob(blob_);
}

void EasyMediaComponentID::DescribeParameters(FieldLayout& layout) { layout.AddBlob(id_); }

void EasyMediaComponentID::Execute() {
    IPCChannel* channel = Endpoint() != nullptr ? Endpoint()->Channel() : nullptr;
    if (channel != nullptr) channel->SetComponentId(id_.data, id_.length);
}

void EasyMediaVideoWindowID::DescribeParameters(FieldLayout& layout) { layout.AddBlob(window_); }

void EasyMediaOpen::DescribeParameters(FieldLayout& layout) {
    layout.AddBlob(first_);
    layout.AddBlob(second_);
}

void EasyMediaOpenSubtitles::DescribeParameters(FieldLayout& layout) { layout.AddBlob(path_); }

void EasyMediaSetPosition::DescribeParameters(FieldLayout& layout) { Fixed(layout, position_); }

void EasyMediaSetWindowPosition::DescribeParameters(FieldLayout& layout) {
    for (int32_t& value : rect_) Fixed(layout, value);
}

void EasyMediaAudioVolume::DescribeParameters(FieldLayout& layout) { Fixed(layout, volume_); }

void EasyMediaHideCursor::DescribeParameters(FieldLayout& layout) { Fixed(layout, hide_); }

void EasyMediaVideoEffectInteger::DescribeParameters(FieldLayout& layout) {
    Fixed(layout, value_);
    layout.AddBlob(name_);
}

void EasyMediaVideoEffectFloat::DescribeParameters(FieldLayout& layout) {
    Fixed(layout, value_);
    layout.AddBlob(name_);
}

void EasyMediaVideoEffectArray::DescribeParameters(FieldLayout& layout) {
    layout.AddBlob(values_);
    layout.AddBlob(name_);
}

void EasyMediaReturnPosition::DescribeParameters(FieldLayout& layout) {
    Fixed(layout, position_);
    Fixed(layout, state_);
}

EasyMediaReturnFileInfo::EasyMediaReturnFileInfo() : tailBlob_{kTailSize, tail_} { BuildLayout(); }

void EasyMediaReturnFileInfo::DescribeParameters(FieldLayout& layout) {
    for (const RecordField& field : kFileInfoFields) layout.Field(record_ + field.offset, field.size);
    layout.AddBlob(tailBlob_);
}
