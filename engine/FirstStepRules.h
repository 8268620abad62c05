#pragma once

// The rules of the first-step pages apart from their widgets: which options a page offers,
// what its caption and forward button say for the options chosen, when a name is usable,
// and which output paths a name and folder give.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/PageDriver.h"
#include "engine/WizardState.h"

inline constexpr char kWizardCaption[] = "Kalvor Wizard";
inline constexpr char kSpecialCharactersMessage[] = "FileName cannot contain special characters!";
inline constexpr char kSelectFolderTitle[] = "Kalvor Wizard - Select Folder";
inline constexpr size_t kFileNameLimit = 255;  // bytes of a name, as the name field holds

// Control ids shared by the first-step pages.
inline constexpr int kNameEdit = 209;
inline constexpr int kFolderText = 210;
inline constexpr int kBrowseButton = 216;
inline constexpr int kQualitySlider = 218;  // page 204
inline constexpr int kQualityText = 219;    // page 204

struct RadioOption {
    int id;
    const char* text;
    int32_t value;  // what the flag holds while this option is checked
};

// Two radio buttons that set one flag of the state.
struct OptionGroup {
    int32_t WizardState::*flag;
    RadioOption first;
    RadioOption second;
};

bool IsFirstStepPage(WizardPageId page);
// The page's option groups in the order they are shown.
const std::vector<OptionGroup>& FirstStepOptions(WizardPageId page);

std::string FirstStepCaption(WizardPageId page, const WizardState& state);
std::string FirstStepButtonText(WizardPageId page, const WizardState& state);

// The typed name as the name field keeps it: at most kFileNameLimit bytes, cut on a UTF-8
// character boundary.
std::string BoundedFileName(std::string typed);
// A name that is neither empty nor blanks alone.
bool FileNameUsable(std::string_view name);
// True when the name holds one of \ / : * ? " < > |.
bool HasSpecialCharacter(std::string_view name);

// folder + "/" + name (name alone when there is no folder).
std::string OutputBase(const std::string& folder, const std::string& name);
// Sets the output paths the page's name, folder and options give.
void BuildFirstStepPaths(WizardPageId page, WizardState& state);

// What the image quality text shows for a slider position: 0 shows as 1.
int32_t ShownImageQuality(int32_t position);
