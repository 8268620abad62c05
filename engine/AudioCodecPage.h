#pragma once

// The audio codec page: the encoder (row 0 none, the MP3 encoder after the system's ones)
// and the PCM format it is fed, or for the MP3 encoder its rate, bitrate and stereo
// controls. Row, format and MP3 settings live in the state, so the page opened again after
// "<- Back" shows them instead of choosing anew.

#include "engine/CodecCatalogue.h"
#include "engine/LameControls.h"
#include "engine/WizardPage.h"

class QComboBox;
class QTreeWidget;

inline constexpr int kFormatList = static_cast<int>(LameControl::FormatList);
inline constexpr int kAudioParametersText = 1000;

class CAudioCodecPage : public CWizardPage, public ILameControls {
public:
    CAudioCodecPage(WizardState& state, const CodecCatalogue& catalogue, QWidget* parent = nullptr);

    void Forward();
    void Back();

    // ILameControls
    void SetComboItems(LameControl combo, const std::vector<std::string>& items) override;
    std::string ComboText(LameControl combo) const override;
    void SetComboText(LameControl combo, const std::string& text) override;
    bool StereoChecked() const override;
    void SetStereoChecked(bool checked) override;
    void SetControlVisible(LameControl control, bool visible) override;

private:
    void Choose(int row);
    // Lists what the chosen row offers; keepFormat keeps the state's format row.
    void ShowFormats(bool keepFormat);
    void UpdateLameControls();
    // The MP3 settings are read only from controls that were filled.
    void ReadMp3Settings();

    const CodecCatalogue& catalogue_;
    QTreeWidget* list_ = nullptr;
    QComboBox* formats_ = nullptr;
    bool filling_ = false;  // the format list is being refilled, its signals are not choices
};
