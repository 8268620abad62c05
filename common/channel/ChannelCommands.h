#pragma once

// The eighteen commands of the channel towards the peer program, each with its parameters
// as members in the order its layout records them. Only "ComponentID" acts when executed;
// the others carry their parameters for a transport that nothing defines yet. Kept in one
// file pair: each is a name and a few members.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/channel/EasyFunction.h"
#include "common/channel/PointerList.h"

class IPCVideoEffects : public EasyFunction {
public:
    static constexpr char kName[] = "VideoEffects";
    IPCVideoEffects() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int32_t values_[3] = {};
    Blob blob_;
    PointerList first_;
    PointerList second_;
};

// Hands the peer's component id to the channel.
class EasyMediaComponentID : public EasyFunction {
public:
    static constexpr char kName[] = "ComponentID";
    EasyMediaComponentID() { BuildLayout(); }
    void Execute() override;

private:
    void DescribeParameters(FieldLayout& layout) override;
    Blob id_;
};

class EasyMediaVideoWindowID : public EasyFunction {
public:
    static constexpr char kName[] = "VideoWindowID";
    EasyMediaVideoWindowID() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    Blob window_;
};

class EasyMediaOpen : public EasyFunction {
public:
    static constexpr char kName[] = "Open";
    EasyMediaOpen() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    Blob first_;
    Blob second_;
};

class EasyMediaOpenSubtitles : public EasyFunction {
public:
    static constexpr char kName[] = "OpenSubtitles";
    EasyMediaOpenSubtitles() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    Blob path_;
};

class EasyMediaPlay : public EasyFunction {
public:
    static constexpr char kName[] = "Play";
    void Execute() override {}
};

class EasyMediaPause : public EasyFunction {
public:
    static constexpr char kName[] = "Pause";
    void Execute() override {}
};

class EasyMediaStop : public EasyFunction {
public:
    static constexpr char kName[] = "Stop";
    void Execute() override {}
};

class EasyMediaSetPosition : public EasyFunction {
public:
    static constexpr char kName[] = "SetPosition";
    EasyMediaSetPosition() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int64_t position_ = 0;
};

class EasyMediaSetWindowPosition : public EasyFunction {
public:
    static constexpr char kName[] = "SetWindowPosition";
    EasyMediaSetWindowPosition() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int32_t rect_[4] = {};
};

class EasyMediaAudioVolume : public EasyFunction {
public:
    static constexpr char kName[] = "AudioVolume";
    EasyMediaAudioVolume() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int32_t volume_ = 0;
};

class EasyMediaHideCursor : public EasyFunction {
public:
    static constexpr char kName[] = "HideCursor";
    EasyMediaHideCursor() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int32_t hide_ = 0;
};

class EasyMediaRefresh : public EasyFunction {
public:
    static constexpr char kName[] = "Refresh";
    void Execute() override {}
};

class EasyMediaVideoEffectInteger : public EasyFunction {
public:
    static constexpr char kName[] = "VideoEffectInteger";
    EasyMediaVideoEffectInteger() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int64_t value_ = 0;
    Blob name_;
};

class EasyMediaVideoEffectFloat : public EasyFunction {
public:
    static constexpr char kName[] = "VideoEffectFloat";
    EasyMediaVideoEffectFloat() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    double value_ = 0;
    Blob name_;
};

class EasyMediaVideoEffectArray : public EasyFunction {
public:
    static constexpr char kName[] = "VideoEffectArray";
    EasyMediaVideoEffectArray() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    Blob values_;
    Blob name_;
};

class EasyMediaReturnPosition : public EasyFunction {
public:
    static constexpr char kName[] = "ReturnPosition";
    EasyMediaReturnPosition() { BuildLayout(); }
    void Execute() override {}

private:
    void DescribeParameters(FieldLayout& layout) override;
    int64_t position_ = 0;
    int32_t state_ = 0;
};

// The file information the peer returns: a 60-byte record of 14 fields (the 8-byte ones
// on 4-byte boundaries), then a blob over an 8-byte buffer.
class EasyMediaReturnFileInfo : public EasyFunction {
public:
    static constexpr char kName[] = "ReturnFileInfo";
    static constexpr size_t kRecordSize = 60;
    static constexpr size_t kTailSize = 8;
    EasyMediaReturnFileInfo();
    void Execute() override {}

    const unsigned char* Record() const { return record_; }
    const unsigned char* Tail() const { return tail_; }

private:
    void DescribeParameters(FieldLayout& layout) override;
    alignas(8) unsigned char record_[kRecordSize] = {};
    alignas(8) unsigned char tail_[kTailSize] = {};
    Blob tailBlob_;
};

// The commands in registration order, each created and entered into the endpoint's map.
struct ChannelCommandEntry {
    const char* name;
    std::unique_ptr<EasyFunction> (*make)();
};
extern const ChannelCommandEntry kChannelCommands[18];
