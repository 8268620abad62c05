#pragma once

// The one report of a failure while korc builds its graph: the error's text in a warning box
// captioned "Kalvor", owned by the player's window, through the message sink.

#include <cstdint>
#include <string>

inline constexpr char kGraphErrorCaption[] = "Kalvor";

// ownerWindow: the player's X11 window from the job header; 0 or a stale id shows the box
// without an owner. Safe from any thread: from another than the user-interface thread (a
// streaming thread inside pad-added) the box is posted there and the call returns at once.
void ReportGraphError(uint32_t ownerWindow, const std::string& text);
// The same box with another caption.
void ShowOwnedWarning(uint32_t ownerWindow, const std::string& caption, const std::string& text);
