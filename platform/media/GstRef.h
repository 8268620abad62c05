#pragma once

// Owning references to GStreamer objects, so that every early return releases what it took.
// A floating reference is sunk on adoption: the holder always owns exactly one reference.

#include <gst/gst.h>

#include <utility>

namespace media {

// Mini-objects (caps, messages): Retain and Unref are the type's own functions.
template <typename T, T* (*Retain)(T*), void (*Unref)(T*)>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* adopted) : ptr_(adopted) {}
    ~Ref() { Reset(); }
    Ref(const Ref& other) : ptr_(other.ptr_ ? Retain(other.ptr_) : nullptr) {}
    Ref& operator=(const Ref& other) {
        if (this != &other) Ref(other).Swap(*this);
        return *this;
    }
    Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        Ref(std::move(other)).Swap(*this);
        return *this;
    }

    static Ref Share(T* borrowed) { return Ref(borrowed ? Retain(borrowed) : nullptr); }

    T* get() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void Reset() {
        if (ptr_) Unref(std::exchange(ptr_, nullptr));
    }
    void Swap(Ref& other) noexcept { std::swap(ptr_, other.ptr_); }

private:
    T* ptr_ = nullptr;
};

namespace detail {
inline GstCaps* RefCaps(GstCaps* caps) { return gst_caps_ref(caps); }
inline void UnrefCaps(GstCaps* caps) { gst_caps_unref(caps); }
inline GstMessage* RefMessage(GstMessage* message) { return gst_message_ref(message); }
inline void UnrefMessage(GstMessage* message) { gst_message_unref(message); }
}  // namespace detail

// GstObjects: adoption sinks a floating reference.
template <typename T>
class ObjectRef {
public:
    ObjectRef() = default;
    explicit ObjectRef(T* adopted) : ptr_(adopted) {
        if (ptr_ && g_object_is_floating(ptr_)) gst_object_ref_sink(ptr_);
    }
    ~ObjectRef() { Reset(); }
    ObjectRef(const ObjectRef& other) : ptr_(other.ptr_) {
        if (ptr_) gst_object_ref(ptr_);
    }
    ObjectRef& operator=(const ObjectRef& other) {
        if (this != &other) ObjectRef(other).Swap(*this);
        return *this;
    }
    ObjectRef(ObjectRef&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ObjectRef& operator=(ObjectRef&& other) noexcept {
        ObjectRef(std::move(other)).Swap(*this);
        return *this;
    }

    static ObjectRef Share(T* borrowed) {
        ObjectRef ref;
        if (borrowed) ref.ptr_ = static_cast<T*>(gst_object_ref(borrowed));
        return ref;
    }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void Reset() {
        if (ptr_) gst_object_unref(std::exchange(ptr_, nullptr));
    }
    void Swap(ObjectRef& other) noexcept { std::swap(ptr_, other.ptr_); }

private:
    T* ptr_ = nullptr;
};

using ElementRef = ObjectRef<GstElement>;
using PadRef = ObjectRef<GstPad>;
using BusRef = ObjectRef<GstBus>;

using CapsRef = Ref<GstCaps, detail::RefCaps, detail::UnrefCaps>;
using MessageRef = Ref<GstMessage, detail::RefMessage, detail::UnrefMessage>;

}  // namespace media
