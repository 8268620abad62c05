#pragma once

// The wizard window as the playlist hands it rows: its list, its visibility and its job
// starters. The wizard window implements it; the playlist never reaches into its widgets.

#include "common/JobFile.h"
#include "player/playlist/MediaEntry.h"

class IWizardRows {
public:
    virtual ~IWizardRows() = default;
    // Frees the rows and empties the wizard's entries.
    virtual void ClearRows() = 0;
    // Appends a row at the end, selected, focused and scrolled into view, and fills the time
    // fields from it.
    virtual void AppendRow(const MediaEntry& entry) = 0;
    // Places the window when it is hidden, updates the job buttons, then shows (true) or
    // hides (false) it.
    virtual void ShowWizard(bool show) = 0;
    // Runs the job of that kind on the wizard's rows.
    virtual void StartJob(JobKind kind) = 0;
};
