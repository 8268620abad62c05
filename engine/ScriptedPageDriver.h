#pragma once

// A page driver that answers the real pages from a script instead of a person at the
// screen: every page and the progress dialog are built and run as in a normal run, and the
// script's steps type into them and press their buttons. korc uses it when the environment
// variable KORC_PAGE_SCRIPT names a script file, so that a whole run can be driven unattended.
//
// One step per line; blank lines and lines starting with '#' are skipped:
//   name <text>      types the output name        folder <path>  picks the output folder
//   click <id>       clicks a radio button         row <n>        selects a codec list row
//   forward | back | cancel                        ends the page with that button
//   stop             stops the graph of the progress dialog once it runs
// A page takes the steps up to its ending one. A page that the script leaves open, or that
// stays open after its ending step, is cancelled.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/CodecCatalogue.h"
#include "engine/PageDriver.h"

inline constexpr char kPageScriptVariable[] = "KORC_PAGE_SCRIPT";

class CScriptedPageDriver : public IPageDriver {
public:
    CScriptedPageDriver(const CodecCatalogue& catalogue, std::vector<std::string> steps);
    ~CScriptedPageDriver() override;

    // The script's steps; nothing (and why) when the file cannot be read or holds a step
    // that is not one of the above.
    static std::optional<std::vector<std::string>> ReadScript(const std::string& path,
                                                              std::string* error);

    PageResult ShowPage(WizardPageId page, WizardState& state) override;
    ProgressOutcome RunProgress(WizardState& state, const ProgressGraph& graph) override;
    bool RunInBackground(WizardState& state, const BackgroundWork& work) override;

private:
    class Picker;

    const CodecCatalogue& catalogue_;
    std::vector<std::string> steps_;
    size_t next_ = 0;
    std::unique_ptr<Picker> picker_;
};
