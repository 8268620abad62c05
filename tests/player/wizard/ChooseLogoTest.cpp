// "Choose logo..." shows the chosen file's first picture over the screen; dragging it sets
// the caption, and an accepted release stores the place korc puts the logo by.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMouseEvent>

#include "WizardTestHost.h"
#include "platform/system/FixedText.h"
#include "player/wizard/ChooseLogo.h"
#include "player/wizard/KalvorWizard.h"
#include "player/wizard/Logo.h"
#include "player/wizard/WizardPlacement.h"
#include "support/MediaGenerator.h"
#include "support/QtApp.h"
#include "support/TempEnvironment.h"

namespace {

const std::string kHead = "Position of image in a video fragment - Drag and Drop - X: ";

class ChooseLogoTest : public TempFolderTest {
protected:
    void SetUp() override {
        SetMessageSink(&sink_);
        picture_ = env_.Path("logo.png");
        ASSERT_TRUE(media::MakePicture(picture_, 320, 240, media::PictureFormat::Png));
        wizard_ = std::make_unique<CKalvorWizard>(host_, launcher_, nullptr, nullptr, &dialog_);
    }
    void TearDown() override {
        wizard_.reset();
        SetMessageSink(nullptr);
    }

    void Choose(const std::string& path) {
        dialog_.answers.push_back(path);
        wizard_->ChooseLogo();
        ASSERT_TRUE(qttest::WaitUntil([&] { return !wizard_->LogoPending(); }));
    }
    CLogo& Logo() { return wizard_->LogoFrame()->Logo(); }
    void Mouse(QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        CLogo& logo = Logo();
        QMouseEvent event(type, QPointF(logo.mapFromGlobal(global)), QPointF(global),
                          Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(&logo, &event);
    }
    // Presses on the logo, moves by delta and releases there.
    void Drag(QPoint delta) {
        const QPoint start = Logo().mapToGlobal(QPoint(5, 5));
        Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
        if (delta != QPoint()) Mouse(QEvent::MouseMove, start + delta, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, start + delta, Qt::NoButton);
    }
    std::string Caption() { return wizard_->LogoFrame()->Caption(); }
    QPoint LogoOffset() { return Logo().pos() - wizard_->LogoFrame()->AreaOrigin(); }

    WizardTestHost host_;
    WizardTestSink sink_;
    WizardTestLauncher launcher_;
    WizardTestFileDialog dialog_;
    std::string picture_;
    std::unique_ptr<CKalvorWizard> wizard_;
};

TEST_F(ChooseLogoTest, ANewFileCoversTheScreenAndStartsAtTheOrigin) {
    host_.settings.logoPosX = 300;
    host_.settings.logoPosY = 400;
    ASSERT_EQ(host_.settings.logoEnabled, 0);
    Choose(picture_);
    EXPECT_EQ(wizard_->HelpContext(), 16);
    EXPECT_EQ(host_.settings.logoEnabled, 1);  // a logo chosen is a logo on
    EXPECT_TRUE(wizard_->LogoCheckBox().isChecked());
    EXPECT_EQ(fixedtext::Read(host_.settings.logoFilePath), picture_);
    EXPECT_EQ(host_.settings.logoPosX, 0);  // also when the frame is closed without a drag
    EXPECT_EQ(host_.settings.logoPosY, 0);
    CChooseLogo* frame = wizard_->LogoFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(frame->geometry(), QRect(-3, -3, 1030, 774));
    EXPECT_EQ(Logo().size(), QSize(320, 240));
    EXPECT_EQ(Caption(), kHead + "0.0%  Y: 0.0%");
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(host_.settings.logoPosX, 0);

    dialog_.answers.push_back("");  // cancel: nothing changes
    wizard_->ChooseLogo();
    EXPECT_EQ(fixedtext::Read(host_.settings.logoFilePath), picture_);
    EXPECT_TRUE(sink_.shown.empty());
}

TEST_F(ChooseLogoTest, ADragAnsweredYesStoresThePlaceAndNoKeepsTheFrame) {
    Choose(picture_);
    const int down = 768 - 240 - wizard_->LogoFrame()->CaptionHeight();
    sink_.answers = {MessageAnswer::Yes};
    Drag({352, down / 2});  // half of the 704 and of the room down
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].caption, "Kalvor");
    EXPECT_EQ(sink_.shown[0].text, "Accept current position?");
    EXPECT_EQ(sink_.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(host_.settings.logoPosX, 500);
    EXPECT_EQ(host_.settings.logoPosY, LogoPosition(down / 2, down));
    EXPECT_FALSE(wizard_->LogoFrame()->isVisible());

    Choose(picture_);
    EXPECT_EQ(host_.settings.logoPosX, 0);
    sink_.answers = {MessageAnswer::No};
    // Far past the bottom right: held at the room's end while still dragged, where the
    // caption's 100 % puts it in the job too.
    const QPoint start = Logo().mapToGlobal(QPoint(5, 5));
    Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
    Mouse(QEvent::MouseMove, start + QPoint(5000, 5000), Qt::LeftButton);
    EXPECT_EQ(LogoOffset(), QPoint(704, down));
    EXPECT_EQ(Caption(), kHead + "100.0%  Y: 100.0%");
    Mouse(QEvent::MouseButtonRelease, start + QPoint(5000, 5000), Qt::NoButton);
    EXPECT_EQ(LogoOffset(), QPoint(704, down));
    EXPECT_EQ(Caption(), kHead + "100.0%  Y: 100.0%");
    EXPECT_TRUE(wizard_->LogoFrame()->isVisible());
    EXPECT_EQ(host_.settings.logoPosX, 0);  // No stores nothing
    sink_.answers = {MessageAnswer::Yes};
    Drag({-6000, -6000});  // above and left: held at 0
    EXPECT_EQ(LogoOffset(), QPoint(0, 0));
    EXPECT_EQ(host_.settings.logoPosX, 0);
    EXPECT_EQ(host_.settings.logoPosY, 0);
}

TEST_F(ChooseLogoTest, AClickWithoutADragStoresWhatTheCaptionShows) {
    Choose(picture_);
    sink_.answers = {MessageAnswer::Yes};
    Drag({352, 0});
    EXPECT_EQ(host_.settings.logoPosX, 500);
    // The next file starts at 0.0 %; a click there must not store the old 500.
    Choose(picture_);
    sink_.answers = {MessageAnswer::Yes};
    Drag({0, 0});
    EXPECT_EQ(Caption(), kHead + "0.0%  Y: 0.0%");
    EXPECT_EQ(host_.settings.logoPosX, 0);
    EXPECT_EQ(host_.settings.logoPosY, 0);
}

// The frame covers the whole screen without a window frame: Escape and its close box are the
// ways out, and neither stores the place dragged to.
TEST_F(ChooseLogoTest, EscapeAndTheCloseBoxLeaveWithoutStoringThePlace) {
    for (bool escape : {true, false}) {
        Choose(picture_);
        CChooseLogo& frame = *wizard_->LogoFrame();
        const QPoint start = Logo().mapToGlobal(QPoint(5, 5));
        Mouse(QEvent::MouseButtonPress, start, Qt::LeftButton);
        Mouse(QEvent::MouseMove, start + QPoint(100, 100), Qt::LeftButton);
        ASSERT_NE(Caption(), kHead + "0.0%  Y: 0.0%");
        if (escape) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&frame, &key);
        } else {
            const QRect box = frame.CloseBoxRect();
            EXPECT_FALSE(box.intersects(frame.CaptionTextRect()));
            EXPECT_TRUE(QRect(QPoint(), frame.size()).contains(box));
            QMouseEvent click(QEvent::MouseButtonPress, QPointF(box.center()),
                              QPointF(frame.mapToGlobal(box.center())), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&frame, &click);
        }
        EXPECT_FALSE(frame.isVisible()) << escape;
        EXPECT_EQ(host_.settings.logoPosX, 0) << escape;
        EXPECT_EQ(host_.settings.logoPosY, 0) << escape;
        EXPECT_TRUE(sink_.shown.empty()) << escape;
    }
}

TEST_F(ChooseLogoTest, AFileWithoutPicturesKeepsTheOldLogoAndSaysSoOnce) {
    Choose(picture_);
    sink_.answers = {MessageAnswer::Yes};
    Drag({352, 0});
    const std::string wav = env_.Path("sound.wav");
    ASSERT_TRUE(media::MakeWav(wav, media::AudioSpec{}));
    sink_.shown.clear();
    Choose(wav);
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0].text, "This image or video file is not supported!");
    EXPECT_EQ(fixedtext::Read(host_.settings.logoFilePath), picture_);
    EXPECT_EQ(host_.settings.logoPosX, 500);
    EXPECT_FALSE(wizard_->LogoFrame()->isVisible());
}

TEST(LogoFileFilters, ThreeFiltersWithAllFilesFirst) {
    const std::string filters = LogoFileFilters();
    EXPECT_EQ(filters.rfind("All Files (*);;Video (*.3gp *.3g2 *.asf", 0), 0u) << filters;
    EXPECT_NE(filters.find(" *.xvid);;Images (*.bmp *.gif *.jpg *.tga)"), std::string::npos)
        << filters;
    EXPECT_EQ(filters.find(';', filters.find("Images")), std::string::npos);
}

}  // namespace
