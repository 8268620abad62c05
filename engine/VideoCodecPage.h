#pragma once

// The video codec page: the encoder (row 0 none), the output frame rate, key-frame rate,
// quality and picture size. The chosen row and values live in the state, so the page
// opened again after "<- Back" shows them.

#include "engine/CodecCatalogue.h"
#include "engine/WizardPage.h"

class QSlider;
class QTreeWidget;

inline constexpr int kFrameRateSlider = 218, kFrameRateText = 234;
inline constexpr int kKeyFrameSlider = 231, kKeyFrameText = 232, kKeyFrameNotSupported = 235;
inline constexpr int kVideoQualitySlider = 233, kVideoQualityText = 230, kQualityNotSupported = 236;
inline constexpr int kWidthEdit = 209, kHeightEdit = 210;

class CVideoCodecPage : public CWizardPage {
public:
    CVideoCodecPage(WizardState& state, const CodecCatalogue& catalogue, QWidget* parent = nullptr);

    void Forward();

private:
    void Choose(int row);
    void ShowSliders();
    QSlider* AddSlider(int id, int textId, int y, const char* label, int low, int high, int value,
                       int32_t WizardState::*field);
    void AddSizeEdit(int id, int x, int32_t WizardState::*field, int32_t maximum);

    const CodecCatalogue& catalogue_;
    QTreeWidget* list_ = nullptr;
    bool editing_ = false;  // a size edit is writing its corrected text back
};
