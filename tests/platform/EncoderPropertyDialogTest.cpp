// An encoder's configuration dialog edits its own properties: values written on OK, and a
// value the property refuses never written.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "platform/media/EncoderProperties.h"
#include "platform/ui/EncoderPropertyDialog.h"
#include "platform/media/GstInit.h"

namespace {

TEST(EncoderPropertyDialog, OkWritesTheEditsAndRefusesWhatThePropertyRefuses) {
    media::InitGStreamer();
    media::ElementRef encoder(gst_element_factory_make("jpegenc", nullptr));
    CEncoderPropertyDialog dialog(encoder.get());
    auto* quality = qobject_cast<QLineEdit*>(dialog.Editor("quality"));
    auto* method = qobject_cast<QComboBox*>(dialog.Editor("idct-method"));
    auto* snapshot = qobject_cast<QCheckBox*>(dialog.Editor("snapshot"));
    ASSERT_TRUE(quality && method && snapshot);
    EXPECT_EQ(quality->text(), "85");

    quality->setText("101");
    snapshot->setChecked(true);
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(quality->text(), "85") << "the refused text is put back";
    EXPECT_EQ(PropertyText(G_OBJECT(encoder.get()), "snapshot"), "true")
        << "the valid edit is kept";

    quality->setText("30");
    method->setCurrentText("float");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(PropertyText(G_OBJECT(encoder.get()), "quality"), "30");
    EXPECT_EQ(PropertyText(G_OBJECT(encoder.get()), "idct-method"), "float");
}

}  // namespace
