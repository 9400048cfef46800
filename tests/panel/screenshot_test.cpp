// Writes the whole display as the program shows it at start-up in Mode 0 to
// screenshots/display_mode0.png in the build tree, for a reviewer to look at.
#include "panel/renderers.h"
#include "panel/text_layer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

namespace vr410 {
namespace {

TEST(Screenshot, StartUpDisplayInModeZero) {
    InstrumentState state;
    Panel4 display;
    RecordedControls controls;
    PanelRenderer renderer(state, display, controls);
    DrawStartupDisplay(display);
    renderer.PrintMode("1000");

    const QImage picture = display.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(601, 107));
    // The first dot of the sign's horizontal bar: row 3 of "+" in the cell at Left 1, Top 56.
    EXPECT_EQ(picture.pixel(1 + 1 + 0 * 5, 56 + 1 + 3 * 7), QColor(0, 128, 0).rgb());
    // Inside the panel but between the rows everything is black.
    EXPECT_EQ(picture.pixel(300, 53), QColor(0, 0, 0).rgb());

    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VR410_SCREENSHOT_DIR)));
    EXPECT_TRUE(picture.save(QStringLiteral(VR410_SCREENSHOT_DIR "/display_mode0.png")));
}

} // namespace
} // namespace vr410
