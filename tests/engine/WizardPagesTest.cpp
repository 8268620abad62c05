// The wizard pages as the user drives them: options give captions, buttons and output
// paths; names are checked with exact messages; a page opened again after "<- Back" shows
// the earlier choices; the codec pages start on the preferred rows, keep a choice when no
// row is selected, and read what is typed into the size edits safely.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <optional>
#include <string>
#include <vector>

#include "CapturedMessages.h"
#include "SharedCatalogue.h"
#include "engine/AudioCodecPage.h"
#include "engine/CodecPageRules.h"
#include "engine/DialogPageDriver.h"
#include "engine/EncoderTuning.h"
#include "engine/FirstStepPage.h"
#include "engine/FolderPicker.h"
#include "engine/VideoCodecPage.h"

namespace {

struct FakePicker : IFolderPicker {
    std::optional<std::string> PickFolder(QWidget*, const std::string& title,
                                          const std::string&) override {
        titles.push_back(title);
        return answer;
    }
    std::optional<std::string> answer;
    std::vector<std::string> titles;
};

QString Text(QWidget* page, int id) {
    if (auto* label = page->findChild<QLabel*>(ControlName(id))) return label->text();
    if (auto* edit = page->findChild<QLineEdit*>(ControlName(id))) return edit->text();
    if (auto* combo = page->findChild<QComboBox*>(ControlName(id))) return combo->currentText();
    return page->findChild<QAbstractButton*>(ControlName(id))->text();
}

void Click(QWidget* page, int id) { page->findChild<QAbstractButton*>(ControlName(id))->click(); }

bool Shown(QWidget* page, int id) {
    return !page->findChild<QWidget*>(ControlName(id))->isHidden();
}

WizardState FirstStepState() {
    WizardState state;
    state.outputFolder = "/out";
    state.fastAllowed = 1;
    state.fragmentHasVideo = {0, 1};
    state.fragmentHasAudio = {0, 1};
    return state;
}

TEST(FirstStepPages, OptionsGiveTheCaptionButtonAndOutputPaths) {
    struct Case {
        WizardPageId page;
        std::vector<int> clicks;
        const char* caption;
        const char* button;
        const char* destination;
        const char* outputPath;
        const char* imagePath;
    };
    // clang-format off
    const Case cases[] = {
        {WizardPageId::ExtractImage, {}, "Kalvor Wizard - Extract Image", "Extract", "", "",
         "/out/clip.bmp"},
        {WizardPageId::ExtractImage, {211}, "Kalvor Wizard - Extract Image", "Extract", "", "",
         "/out/clip.jpg"},
        {WizardPageId::ExtractAudio, {211}, "Kalvor Wizard - Extract Audio Fragment (Step 1 of 2)",
         "Next ->", "/out/clip", "/out/clip.wav", ""},
        {WizardPageId::ExtractVideo, {}, "Kalvor Wizard - Extract Video Fragment (Step 1 of 3)",
         "Next ->", "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::ExtractVideo, {212}, "Kalvor Wizard - Extract Video Fragment (Step 1 of 2)",
         "Next ->", "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::ExtractVideo, {212, 211},
         "Kalvor Wizard - Extract Video Fragment (Step 1 of 1)", "Extract", "/out/clip.avi",
         "/out/clip.avi", ""},
        {WizardPageId::ExtractVideo, {211}, "Kalvor Wizard - Extract Video Fragment (Step 1 of 2)",
         "Next ->", "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::MergeVideo, {}, "Kalvor Wizard - Merge Video Fragments (Step 1 of 3)",
         "Next ->", "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::MergeVideo, {211}, "Kalvor Wizard - Merge Video Fragments (Step 1 of 2)",
         "Next ->", "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::MergeAudio, {211}, "Kalvor Wizard - Merge Audio Fragments (Step 1 of 2)",
         "Next ->", "/out/clip", "/out/clip.wav", ""},
        {WizardPageId::Mix, {}, "Kalvor Wizard - Mix Video and Audio (Step 1 of 3)", "Next ->",
         "/out/clip.avi", "/out/clip.avi", ""},
        {WizardPageId::Mix, {211, 213}, "Kalvor Wizard - Mix Video and Audio (Step 1 of 2)",
         "Next ->", "/out/clip", "/out/clip.wav", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.page));
        WizardState state = FirstStepState();
        FakePicker picker;
        CFirstStepPage page(state, c.page, picker);
        page.Control<QLineEdit>(kNameEdit)->setText("clip");
        for (int id : c.clicks) Click(&page, id);
        EXPECT_EQ(page.windowTitle().toStdString(), c.caption);
        EXPECT_EQ(Text(&page, kButtonForward).toStdString(), c.button);
        Click(&page, kButtonForward);
        EXPECT_EQ(state.accepted, 1);
        EXPECT_EQ(state.destination, c.destination);
        EXPECT_EQ(state.outputPath, c.outputPath);
        EXPECT_EQ(state.imageOutputPath, c.imagePath);
    }
}

TEST(FirstStepPages, TheFlagsFollowTheCheckedOptions) {
    WizardState state = FirstStepState();
    FakePicker picker;
    CFirstStepPage mix(state, WizardPageId::Mix, picker);
    mix.Control<QLineEdit>(kNameEdit)->setText("clip");
    Click(&mix, 211);
    Click(&mix, 213);
    Click(&mix, kButtonForward);
    EXPECT_EQ(state.mixVideo, 0);
    EXPECT_EQ(state.mp3Mix, 1);
    EXPECT_EQ(state.mp3ExtractAudio, 0) << "each job kind has its own MP3 flag";
}

TEST(FirstStepPages, NamesAreCheckedWithTheExactMessage) {
    struct Case {
        const char* name;
        bool forwardEnabled;
        bool refused;  // the message is shown and the page stays
    };
    const Case cases[] = {
        {"", false, false},   {"    ", false, false}, {"a b", true, false}, {"clip", true, false},
        {"a\\b", true, true}, {"a/b", true, true},    {"a:b", true, true},  {"a*b", true, true},
        {"a?b", true, true},  {"a\"b", true, true},   {"a<b", true, true},  {"a>b", true, true},
        {"a|b", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CapturedMessages messages;
        WizardState state = FirstStepState();
        FakePicker picker;
        CFirstStepPage page(state, WizardPageId::MergeVideo, picker);
        page.Control<QLineEdit>(kNameEdit)->setText(c.name);
        EXPECT_EQ(page.Control<QPushButton>(kButtonForward)->isEnabled(), c.forwardEnabled);
        Click(&page, kButtonForward);
        EXPECT_EQ(state.accepted, c.forwardEnabled && !c.refused ? 1 : 0);
        EXPECT_EQ(page.result(), c.forwardEnabled && !c.refused ? kButtonForward : 0);
        ASSERT_EQ(messages.shown.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(messages.shown[0].caption, "Kalvor Wizard");
            EXPECT_EQ(messages.shown[0].text, "FileName cannot contain special characters!");
        }
    }
}

// A long name is kept to what a file name may hold, cut between characters: a name cut
// inside one is not text and cannot be shown or written back.
TEST(FirstStepPages, LongNamesAreCutToWholeCharactersWithinTheLimit) {
    auto repeat = [](const char* unit, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += unit;
        return text;
    };
    struct Case {
        const char* what;
        std::string typed;
        size_t kept;  // bytes
    };
    const Case cases[] = {
        {"200 Cyrillic letters", repeat("\xD0\xB6", 200), 254},
        {"300 ASCII letters", repeat("a", 300), 255},
        {"one ASCII letter then CJK", "a" + repeat("\xE6\xBC\xA2", 100), 253},
        {"emoji", repeat("\xF0\x9F\x8E\xAC", 70), 252},
        {"short enough", repeat("\xD0\xB6", 20), 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WizardState state = FirstStepState();
        FakePicker picker;
        CFirstStepPage page(state, WizardPageId::MergeVideo, picker);
        page.Control<QLineEdit>(kNameEdit)->setText(QString::fromStdString(c.typed));
        Click(&page, kButtonForward);
        ASSERT_EQ(state.accepted, 1);
        const std::string& kept = state.fileName;
        EXPECT_EQ(kept.size(), c.kept);
        EXPECT_TRUE(c.typed.compare(0, kept.size(), kept) == 0) << "not the start of the name";
        EXPECT_TRUE(QString::fromUtf8(kept.data(), qsizetype(kept.size())).toStdString() == kept)
            << "not valid UTF-8";
        EXPECT_EQ(state.outputPath, "/out/" + kept + ".avi");
    }
}

TEST(FirstStepPages, APageOpenedAgainAfterBackShowsTheEarlierChoices) {
    WizardState state = FirstStepState();
    FakePicker picker;
    {
        CFirstStepPage page(state, WizardPageId::ExtractVideo, picker);
        page.Control<QLineEdit>(kNameEdit)->setText("take 1");
        picker.answer = "/videos";
        Click(&page, kBrowseButton);
        EXPECT_EQ(Text(&page, kFolderText), "/videos");
        picker.answer.reset();
        Click(&page, kBrowseButton);
        EXPECT_EQ(Text(&page, kFolderText), "/videos") << "a cancelled picker changes nothing";
        Click(&page, 211);
        Click(&page, 212);
        Click(&page, kButtonForward);
    }
    EXPECT_EQ(picker.titles, std::vector<std::string>(2, "Kalvor Wizard - Select Folder"));
    EXPECT_EQ(state.outputPath, "/videos/take 1.avi");

    // The next page ended with "<- Back": the runner shows this page again.
    state.accepted = 0;
    state.back = 1;
    CFirstStepPage again(state, WizardPageId::ExtractVideo, picker);
    EXPECT_EQ(Text(&again, kNameEdit), "take 1");
    EXPECT_EQ(Text(&again, kFolderText), "/videos");
    EXPECT_TRUE(again.Control<QRadioButton>(211)->isChecked());
    EXPECT_FALSE(again.Control<QRadioButton>(217)->isChecked());
    EXPECT_TRUE(again.Control<QRadioButton>(212)->isChecked());
    EXPECT_TRUE(again.Control<QPushButton>(kButtonForward)->isEnabled());
    EXPECT_EQ(again.windowTitle(), "Kalvor Wizard - Extract Video Fragment (Step 1 of 1)");
    EXPECT_EQ(Text(&again, kButtonForward), "Extract");

    Click(&again, kButtonCancel);
    EXPECT_EQ(PageResultOf(state.accepted, state.back), PageResult::Cancelled)
        << "a Cancel after a Back is a Cancel";
}

TEST(FirstStepPages, OptionsThatCannotApplyAreNotOffered) {
    FakePicker picker;
    {
        WizardState state = FirstStepState();
        state.fragmentHasVideo = {0, 0};
        CFirstStepPage mix(state, WizardPageId::Mix, picker);
        EXPECT_FALSE(mix.Control<QRadioButton>(217)->isEnabled()) << "no input has video";
        EXPECT_TRUE(mix.Control<QRadioButton>(211)->isChecked());
        EXPECT_EQ(state.mixVideo, 0);
        EXPECT_TRUE(mix.Control<QRadioButton>(212)->isEnabled());
    }
    {
        WizardState state = FirstStepState();
        CFirstStepPage mix(state, WizardPageId::Mix, picker);
        Click(&mix, 211);
        Click(&mix, 213);
        Click(&mix, 217);
        EXPECT_FALSE(mix.Control<QRadioButton>(213)->isEnabled());
        EXPECT_TRUE(mix.Control<QRadioButton>(213)->isChecked()) << "mixing video keeps the format";
        EXPECT_EQ(state.mp3Mix, 1);
    }
    {
        WizardState state = FirstStepState();
        state.fastAllowed = 0;
        state.fastMode = 1;
        CFirstStepPage extract(state, WizardPageId::ExtractVideo, picker);
        EXPECT_FALSE(extract.Control<QRadioButton>(212)->isEnabled()) << "not an AVI input";
        EXPECT_TRUE(extract.Control<QRadioButton>(213)->isChecked());
        EXPECT_EQ(state.fastMode, 0);
    }
    {
        // An input without sound: extracting it "with audio" is not offered at all.
        WizardState state = FirstStepState();
        state.fragmentHasAudio = {0};
        state.withAudio = 1;
        state.fastMode = 1;
        CFirstStepPage extract(state, WizardPageId::ExtractVideo, picker);
        EXPECT_FALSE(extract.Control<QRadioButton>(217)->isEnabled()) << "the input has no audio";
        EXPECT_TRUE(extract.Control<QRadioButton>(211)->isChecked());
        EXPECT_EQ(state.withAudio, 0);
        EXPECT_EQ(extract.windowTitle().toStdString(),
                  "Kalvor Wizard - Extract Video Fragment (Step 1 of 1)");
        EXPECT_EQ(extract.Control<QPushButton>(kButtonForward)->text().toStdString(), "Extract");
    }
}

TEST(FirstStepPages, TheImageQualityIsWhatTheTextShowsAndNeverZero) {
    for (auto [position, quality] : {std::pair{0, 1}, {1, 1}, {57, 57}, {100, 100}}) {
        WizardState state = FirstStepState();
        FakePicker picker;
        CFirstStepPage page(state, WizardPageId::ExtractImage, picker);
        EXPECT_EQ(page.Control<QSlider>(kQualitySlider)->value(), 95);
        page.Control<QSlider>(kQualitySlider)->setValue(position);
        page.Control<QLineEdit>(kNameEdit)->setText("frame");
        Click(&page, kButtonForward);
        EXPECT_EQ(state.imageQuality, quality) << position;
    }
}

TEST(CodecPages, SizeEditsSaturateAndClamp) {
    struct Case {
        const char* typed;
        int32_t maximum;
        const char* shown;
        int32_t value;
    };
    const Case cases[] = {
        {"640", kMaxWidth, "640", 640},     {"2048", kMaxWidth, "2048", 2048},
        {"2049", kMaxWidth, "2048", 2048},  {"99999999999999999999999", kMaxWidth, "2048", 2048},
        {"1537", kMaxHeight, "1536", 1536}, {"0", kMaxHeight, "1", 1},
        {"000", kMaxHeight, "1", 1},        {"007", kMaxHeight, "007", 7},
        {"12a", kMaxWidth, "320", 320},     {"-5", kMaxWidth, "320", 320},
        {"", kMaxWidth, "", 320},
    };
    for (const Case& c : cases) {
        const SizeEdit parsed = ParseSizeEdit(c.typed, 320, c.maximum);
        EXPECT_EQ(parsed.text, c.shown) << c.typed;
        EXPECT_EQ(parsed.value, c.value) << c.typed;
    }

    WizardState state;
    state.width = 320;
    state.height = 0;  // a probe that found no size still gives a usable one
    state.chosenVideoCodec = 0;
    CVideoCodecPage page(state, Catalogue());
    EXPECT_EQ(Text(&page, kHeightEdit), "1");
    page.Control<QLineEdit>(kWidthEdit)->setText("99999999999999999999");
    EXPECT_EQ(Text(&page, kWidthEdit), "2048");
    page.Control<QLineEdit>(kHeightEdit)->setText("x");
    EXPECT_EQ(Text(&page, kHeightEdit), "1");
    page.Control<QLineEdit>(kHeightEdit)->setText("480");
    EXPECT_EQ(state.width, 2048);
    EXPECT_EQ(state.height, 480);
}

TEST(CodecPages, TheVideoPageStartsOnThePreferredRowAndKeepsAChoice) {
    const int32_t preferred = Catalogue().PreferredVideoRow("XviD");
    if (preferred <= 0) GTEST_SKIP() << "no MPEG-4 video encoder installed";
    WizardState state;
    state.width = 320, state.height = 240, state.frameRate = 25;
    state.preferredCodec1 = "XviD";
    state.preferredCodec2 = "ffdshow video codec";
    state.stepCaption = "Kalvor Wizard - Merge Video Fragments (Step 3 of 3)";
    state.defaultButtonText = "Extract";
    {
        CVideoCodecPage page(state, Catalogue());
        EXPECT_EQ(page.windowTitle().toStdString(), state.stepCaption);
        EXPECT_EQ(Text(&page, kButtonForward), "Extract");
        EXPECT_EQ(state.chosenVideoCodec, preferred);
        const int32_t mask = Catalogue().VideoRow(preferred)->mask;
        EXPECT_EQ(Shown(&page, kVideoQualitySlider), (mask & kCodecCanQuality) != 0);
        EXPECT_EQ(Shown(&page, kQualityNotSupported), (mask & kCodecCanQuality) == 0);
        EXPECT_EQ(Shown(&page, kKeyFrameSlider), (mask & kCodecCanKeyFrame) != 0);

        auto* list = page.Control<QTreeWidget>(kCodecList);
        list->setCurrentItem(list->topLevelItem(0));
        EXPECT_FALSE(Shown(&page, kVideoQualitySlider)) << "no encoder, no quality";
        EXPECT_TRUE(Shown(&page, kQualityNotSupported));
        list->clearSelection();
        Click(&page, kButtonForward);
        EXPECT_EQ(state.chosenVideoCodec, 0) << "no row selected keeps the choice";
        EXPECT_EQ(state.accepted, 1);
    }
    CVideoCodecPage again(state, Catalogue());
    EXPECT_EQ(state.chosenVideoCodec, 0) << "a second showing does not choose anew";
    EXPECT_EQ(again.Control<QTreeWidget>(kCodecList)->currentItem()->text(0), kUncompressedRow);
    Click(&again, kButtonBack);
    EXPECT_EQ(PageResultOf(state.accepted, state.back), PageResult::Back);
}

// A first showing starts on an encoder whenever there is one, and a preferred encoder wins
// wherever it is listed, the last row included.
TEST(CodecPages, AFirstShowingStartsOnTheRowThePreferredNamesGive) {
    const CodecCatalogue& all = Catalogue();
    const CodecCatalogue none;
    ASSERT_GE(all.Video().size(), 2u);
    const auto lastVideo = static_cast<int32_t>(all.Video().size());
    const std::string firstName = all.Video().front().displayName;
    const std::string lastName = all.Video().back().displayName;
    ASSERT_EQ(all.PreferredVideoRow(lastName), lastVideo) << "the last row's name is its own";
    struct Case {
        const char* what;
        const CodecCatalogue* catalogue;
        std::string preferred1, preferred2;
        int32_t row;
    };
    const Case videoCases[] = {
        {"unknown names", &all, "no such codec", "nor this", 1},
        {"unknown names, nothing listed", &none, "no such codec", "nor this", 0},
        {"no names", &all, "", "", 1},
        {"the last row by the first name", &all, lastName, "no such codec", lastVideo},
        {"the last row by the second name", &all, "no such codec", lastName, lastVideo},
        {"the later of two rows", &all, lastName, firstName, lastVideo},
    };
    for (const Case& c : videoCases) {
        EXPECT_EQ(DefaultVideoRow(*c.catalogue, c.preferred1, c.preferred2), c.row) << c.what;
        WizardState state;
        state.chosenVideoCodec = -1;
        state.preferredCodec1 = c.preferred1;
        state.preferredCodec2 = c.preferred2;
        CVideoCodecPage page(state, *c.catalogue);
        EXPECT_EQ(state.chosenVideoCodec, c.row) << c.what;
        auto* list = page.Control<QTreeWidget>(kCodecList);
        EXPECT_EQ(list->indexOfTopLevelItem(list->currentItem()), c.row) << c.what;
    }

    ASSERT_FALSE(all.Audio(AudioWriter::Avi).empty());
    const auto lastAudio = static_cast<int32_t>(all.Audio(AudioWriter::Avi).size());
    const std::string lastAudioName = all.Audio(AudioWriter::Avi).back().displayName;
    const Case audioCases[] = {
        {"unknown names", &all, "no such codec", "nor this", 0},
        {"unknown names, nothing listed", &none, "LAME", "Layer-3", 0},
        {"the last encoder by the second name", &all, "no such codec", lastAudioName, lastAudio},
        {"the first name wins", &all, "LAME", lastAudioName, all.Mp3Row(AudioWriter::Avi)},
    };
    for (const Case& c : audioCases)
        EXPECT_EQ(DefaultAudioRow(*c.catalogue, AudioWriter::Avi, c.preferred1, c.preferred2),
                  c.row)
            << c.what;
}

TEST(CodecPages, TheAudioPageKeepsRowFormatAndMp3SettingsAcrossBack) {
    if (!Catalogue().HasMp3Encoder() || Catalogue().Audio(AudioWriter::Avi).empty())
        GTEST_SKIP() << "no MP3 encoder or no other audio encoder";
    const int32_t system = 1;
    WizardState state;
    state.preferredCodec1 = "LAME";
    state.preferredCodec2 = "Layer-3";
    state.sourceSampleRate = 22050;
    state.sourceBitrate = 705;
    {
        CAudioCodecPage page(state, Catalogue());
        EXPECT_EQ(state.chosenAudioCodec, Catalogue().Mp3Row(AudioWriter::Avi));
        EXPECT_FALSE(Shown(&page, kFormatList));
        EXPECT_TRUE(Shown(&page, static_cast<int>(LameControl::RateCombo)));
        EXPECT_EQ(Text(&page, static_cast<int>(LameControl::RateCombo)), "22050");
        EXPECT_EQ(Text(&page, static_cast<int>(LameControl::BitrateCombo)), "64");
        EXPECT_TRUE(page.Control<QCheckBox>(static_cast<int>(LameControl::StereoBox))->isChecked());
        emit page.Control<QComboBox>(static_cast<int>(LameControl::RateCombo))->activated(3);
        EXPECT_EQ(Text(&page, static_cast<int>(LameControl::BitrateCombo)), "128");

        auto* list = page.Control<QTreeWidget>(kCodecList);
        list->setCurrentItem(list->topLevelItem(system));
        EXPECT_TRUE(Shown(&page, kFormatList));
        EXPECT_FALSE(Shown(&page, static_cast<int>(LameControl::StereoBox)));
        ASSERT_GT(state.audioFormats.size(), 1u);
        EXPECT_EQ(state.chosenAudioFormat, NearestAudioFormat(state.audioFormats, 22050, 0, 705));
        EXPECT_NE(state.chosenAudioFormat, 0) << "48 kHz is not the nearest to 22.05 kHz";
        page.Control<QComboBox>(kFormatList)->setCurrentIndex(0);
        EXPECT_EQ(state.chosenAudioFormat, 0);
        Click(&page, kButtonBack);
    }
    EXPECT_EQ(state.back, 1);
    EXPECT_EQ(state.mp3SampleRate, 22050) << "the MP3 settings are read on the way back";

    CAudioCodecPage again(state, Catalogue());
    EXPECT_EQ(state.chosenAudioCodec, system) << "the preferred MP3 row does not come back";
    EXPECT_EQ(state.chosenAudioFormat, 0) << "the chosen format is kept, not recomputed";
    EXPECT_EQ(again.Control<QComboBox>(kFormatList)->currentIndex(), 0);
    Click(&again, kButtonForward);
    EXPECT_EQ(state.accepted, 1);
}

TEST(CodecPages, AudioFormatsAndMp3DefaultsFollowTheSource) {
    const std::vector<AudioFormat> formats = {
        {48000, 2}, {44100, 2}, {44100, 1}, {22050, 2}, {22050, 1}};
    struct Case {
        int32_t rate, channels, kbps, chosen;
    };
    // A compressed source's bitrate is far below any PCM format's: its channels decide.
    for (const Case& c : {Case{44100, 0, 1411, 1}, Case{44100, 0, 705, 2}, Case{46000, 0, 0, 2},
                          Case{46050, 0, 1536, 0}, Case{8000, 0, 0, 4}, Case{0, 0, 5000, 3},
                          Case{44100, 2, 128, 1}, Case{22050, 1, 1411, 4}, Case{48000, 1, 64, 0}}) {
        EXPECT_EQ(NearestAudioFormat(formats, c.rate, c.channels, c.kbps), c.chosen)
            << c.rate << " " << c.channels << " " << c.kbps;
    }
    EXPECT_EQ(NearestAudioFormat({}, 44100, 2, 128), -1);
    EXPECT_EQ(AudioFormatText({44100, 2}), "Stereo - 44 kHz - 1411 kbps");
    EXPECT_EQ(AudioFormatText({11025, 1}), "Mono - 11 kHz - 176 kbps");

    struct Defaults {
        int32_t source;
        const char* rate;
        const char* bitrate;
    };
    for (const Defaults& d : {Defaults{96000, "48000", "128"},
                              {44101, "48000", "128"},
                              {44100, "44100", "128"},
                              {32001, "44100", "128"},
                              {32000, "32000", "128"},
                              {24000, "24000", "64"},
                              {22050, "22050", "64"},
                              {16000, "16000", "64"},
                              {12000, "12000", "32"},
                              {11025, "11025", "32"},
                              {8001, "11025", "32"},
                              {8000, "8000", "32"},
                              {0, "8000", "32"}}) {
        EXPECT_STREQ(LameDefaultsFor(d.source).rate, d.rate) << d.source;
        EXPECT_STREQ(LameDefaultsFor(d.source).bitrate, d.bitrate) << d.source;
    }

    // The IMA ADPCM encoder takes one or two channels at any rate.
    const std::vector<AudioFormat> ima = ListAudioFormats("adpcmenc");
    EXPECT_EQ(ima.size(), 18u);
    for (const AudioFormat& format : ima) EXPECT_LE(format.channels, 2);
    EXPECT_TRUE(ListAudioFormats("no-such-encoder").empty());
}

TEST(DialogPageDriver, ShowsEachPageModallyAndReadsItsResultFromTheState) {
    FakePicker picker;
    CDialogPageDriver driver(Catalogue(), picker);
    WizardState state = FirstStepState();
    // The user answers once the page's own event loop runs.
    auto answer = [](const char* name, int button) {
        QTimer::singleShot(0, [name, button] {
            QWidget* page = QApplication::activeModalWidget();
            ASSERT_NE(page, nullptr);
            if (name) page->findChild<QLineEdit*>(ControlName(kNameEdit))->setText(name);
            Click(page, button);
        });
    };
    answer("clip", kButtonForward);
    EXPECT_EQ(driver.ShowPage(WizardPageId::MergeAudio, state), PageResult::Accepted);
    EXPECT_EQ(state.outputPath, "/out/clip.wav");

    state.chosenAudioCodec = -1;
    // The encoders are looked for before a codec page shows, under a wait window of their
    // own; here they are found first, so that the answer goes to the page.
    Catalogue().Complete();
    answer(nullptr, kButtonBack);
    EXPECT_EQ(driver.ShowPage(WizardPageId::AudioCodec, state), PageResult::Back);
    answer(nullptr, kButtonCancel);
    EXPECT_EQ(driver.ShowPage(WizardPageId::MergeAudio, state), PageResult::Cancelled);

    // A graph that is not there fails once, reported, and the dialog closes itself.
    CapturedMessages messages;
    state.autoClose = 1;
    EXPECT_EQ(driver.RunProgress(state, {}), ProgressOutcome::Failed);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(state.jobFailed, 1);
}

}  // namespace
