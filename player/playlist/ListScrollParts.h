#pragma once

// The playlist's bitmap scroll bar (arrows, track and thumb beside the list) as the list
// control sees it. The list keeps it placed after every change of its scroll position;
// without one (the wizard, or before the bar exists) nothing is placed.

class IListScrollParts {
public:
    virtual ~IListScrollParts() = default;
    // The thumb from the list's ScrollPos() and ScrollLimit().
    virtual void PlaceScrollThumb() = 0;
    // Arrows and track from the list's ListRect() and ReferencePoint(), then the thumb.
    virtual void PlaceAllParts() = 0;
};
