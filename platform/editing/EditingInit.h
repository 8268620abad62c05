#pragma once

namespace editing {

// ges_init once per process (after gst_init); false when the editing library cannot start.
bool InitEditing();

}  // namespace editing
