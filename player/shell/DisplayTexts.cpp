#include "player/shell/DisplayTexts.h"

#include <utility>

#include "player/shell/MainSurface.h"

namespace {

const std::pair<int, const char*> kTooltips[] = {
    {0, "Previous"},        {1, "Play"},          {2, "Pause"},
    {3, "Stop"},            {4, "Open"},          {5, "Next"},
    {6, "Exit"},            {7, "Options"},       {8, "Playlist"},
    {9, "Load subtitles"},  {10, "Skins"},        {11, "Open audio file"},
    {12, "Hide"},           {13, "Repeat"},       {14, "Time/Duration"},
    {16, "Play"},           {17, "Pause"},        {18, "Stop"},
    {19, "Previous"},       {20, "Next"},         {26, "Kalvor Wizard"},
    {27, "Add bookmark"},   {28, "Edit bookmark"}, {29, "Full screen"},
    {30, "Desktop mode"},   {32, "Pan scan"},     {33, "Custom pan scan"},
    {34, "Always on top"},  {35, "Aspect ratio"}, {36, "Volume up"},
    {37, "Volume down"},    {38, "DSP plugin setup"}, {39, "Chapter viewer"},
    {40, "Next chapter"},   {41, "Previous chapter"}, {56, "Effect Controls"},
};

}  // namespace

std::array<std::string, kDisplayTexts> InitialDisplayTexts(int32_t repeatMode) {
    return {"Kalvor", "", "", "00:00:00", "00:00:00 - 00:00:00", MainSurface::RepeatText(repeatMode)};
}

std::vector<std::string> TooltipTexts() {
    std::vector<std::string> texts(kTooltipTexts);
    for (const auto& [index, text] : kTooltips) texts[index] = text;
    return texts;
}
