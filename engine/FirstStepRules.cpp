#include "engine/FirstStepRules.h"

#include <map>

namespace {

const std::vector<OptionGroup> kNoOptions;

const std::map<WizardPageId, std::vector<OptionGroup>>& OptionTable() {
    static const std::map<WizardPageId, std::vector<OptionGroup>> table = {
        {WizardPageId::ExtractImage,
         {{&WizardState::jpegFlag,
           {217, "BMP (Microsoft Windows Bitmap)", 0},
           {211, "JPEG (Joint Photographic Experts Group)", 1}}}},
        {WizardPageId::ExtractAudio,
         {{&WizardState::mp3ExtractAudio, {217, "WAV", 0}, {211, "MP3", 1}}}},
        {WizardPageId::ExtractVideo,
         {{&WizardState::withAudio,
           {217, "Extract video with audio", 1},
           {211, "Extract only video", 0}},
          {&WizardState::fastMode,
           {212, "Fast mode (copies the video as it is)", 1},
           {213, "Slow mode (re-encodes the video)", 0}}}},
        {WizardPageId::MergeVideo,
         {{&WizardState::mergeWithAudio,
           {217, "Merge video and audio streams", 1},
           {211, "Merge only video streams (no sound)", 0}}}},
        {WizardPageId::MergeAudio,
         {{&WizardState::mp3MergeAudio, {217, "WAV", 0}, {211, "MP3", 1}}}},
        {WizardPageId::Mix,
         {{&WizardState::mixVideo,
           {217, "Mix video and audio streams", 1},
           {211, "Mix only audio streams", 0}},
          {&WizardState::mp3Mix, {212, "WAV", 0}, {213, "MP3", 1}}}},
    };
    return table;
}

std::string StepOf(const char* title, int32_t step, int32_t steps) {
    return std::string("Kalvor Wizard - ") + title + " (Step " + std::to_string(step) + " of " +
           std::to_string(steps) + ")";
}

}  // namespace

bool IsFirstStepPage(WizardPageId page) { return OptionTable().count(page) != 0; }

const std::vector<OptionGroup>& FirstStepOptions(WizardPageId page) {
    auto found = OptionTable().find(page);
    return found == OptionTable().end() ? kNoOptions : found->second;
}

std::string FirstStepCaption(WizardPageId page, const WizardState& state) {
    switch (page) {
        case WizardPageId::ExtractImage:
            return "Kalvor Wizard - Extract Image";
        case WizardPageId::ExtractAudio:
            return StepOf("Extract Audio Fragment", 1, 2);
        case WizardPageId::ExtractVideo: {
            // Fast without audio is the whole wizard; slow with audio adds both codec pages.
            const bool fast = state.fastMode == 1, audio = state.withAudio == 1;
            return StepOf("Extract Video Fragment", 1, fast ? (audio ? 2 : 1) : (audio ? 3 : 2));
        }
        case WizardPageId::MergeVideo:
            return StepOf("Merge Video Fragments", 1, state.mergeWithAudio == 1 ? 3 : 2);
        case WizardPageId::MergeAudio:
            return StepOf("Merge Audio Fragments", 1, 2);
        case WizardPageId::Mix:
            return StepOf("Mix Video and Audio", 1, state.mixVideo == 1 ? 3 : 2);
        default:
            return kWizardCaption;
    }
}

std::string FirstStepButtonText(WizardPageId page, const WizardState& state) {
    if (page == WizardPageId::ExtractImage) return "Extract";
    if (page == WizardPageId::ExtractVideo && state.fastMode == 1 && state.withAudio != 1)
        return "Extract";
    return "Next ->";
}

std::string BoundedFileName(std::string typed) {
    if (typed.size() <= kFileNameLimit) return typed;
    size_t cut = kFileNameLimit;
    while (cut > 0 && (static_cast<unsigned char>(typed[cut]) & 0xC0) == 0x80) --cut;
    typed.resize(cut);
    return typed;
}

bool FileNameUsable(std::string_view name) { return name.find_first_not_of(' ') != name.npos; }

bool HasSpecialCharacter(std::string_view name) {
    return name.find_first_of("\\/:*?\"<>|") != name.npos;
}

std::string OutputBase(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void BuildFirstStepPaths(WizardPageId page, WizardState& state) {
    const std::string base = OutputBase(state.outputFolder, state.fileName);
    switch (page) {
        case WizardPageId::ExtractImage:
            state.imageOutputPath = base + (state.jpegFlag == 1 ? ".jpg" : ".bmp");
            break;
        case WizardPageId::ExtractAudio:
        case WizardPageId::MergeAudio:
            // An MP3 is written under the ".wav" name first and renamed by the runner.
            state.destination = base;
            state.outputPath = base + ".wav";
            break;
        case WizardPageId::ExtractVideo:
        case WizardPageId::MergeVideo:
            state.destination = state.outputPath = base + ".avi";
            break;
        case WizardPageId::Mix:
            if (state.mixVideo == 1) {
                state.destination = state.outputPath = base + ".avi";
            } else {
                state.destination = base;
                state.outputPath = base + ".wav";
            }
            break;
        default:
            break;
    }
}

int32_t ShownImageQuality(int32_t position) { return position <= 0 ? 1 : position; }
