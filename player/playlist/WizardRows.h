#pragma once

// How the playlist's commands reach the wizard: they hand it fragments, show or hide it,
// and start its jobs on what they handed over.

#include <string>

#include "common/JobFile.h"

class IWizardRows {
public:
    virtual ~IWizardRows() = default;
    // Adds a fragment as the last row, selects it and shows it in the time fields.
    virtual void AddFragment(const std::string& path, double begin, double end) = 0;
    // Removes every fragment.
    virtual void RemoveAllFragments() = 0;
    // Places the wizard below the main window and shows it (or hides it).
    virtual void PlaceAndShowWizard(bool show) = 0;
    // Shows or hides the wizard, placing it first only when it is hidden: a wizard the
    // user moved stays where it is.
    virtual void ShowWizard(bool show) = 0;
    // Starts a job as its button does; false when none was started.
    virtual bool StartJob(JobKind kind) = 0;
};
