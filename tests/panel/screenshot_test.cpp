// Writes pictures of the whole display to screenshots/ in the build tree, for a reviewer to
// look at: the start-up screen in output entry, the other mode screens with readings, and the
// letters of the font.
#include "panel/renderers.h"
#include "panel/text_layer.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include <functional>

namespace vr410 {
namespace {

using test::PrintTo;

QImage Picture(Panel4& display) {
    return display.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Save(const QImage& picture, const char* name) {
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VR410_SCREENSHOT_DIR)));
    EXPECT_TRUE(picture.save(
        QStringLiteral(VR410_SCREENSHOT_DIR "/display_%1.png").arg(QString::fromUtf8(name))));
}

TEST(Screenshot, StartUpDisplayInModeZero) {
    InstrumentState state;
    Panel4 display;
    RecordedControls controls;
    PanelRenderer renderer(state, display, controls);
    DrawStartupDisplay(display);
    renderer.PrintMode("1000");

    const QImage picture = Picture(display);
    ASSERT_EQ(picture.size(), QSize(601, 107));
    // The first dot of the sign's horizontal bar: row 3 of "+" in the cell at Left 1, Top 56.
    EXPECT_EQ(picture.pixel(1 + 1 + 0 * 5, 56 + 1 + 3 * 7), QColor(0, 128, 0).rgb());
    // Inside the panel but between the rows everything is black.
    EXPECT_EQ(picture.pixel(300, 53), QColor(0, 0, 0).rgb());
    Save(picture, "mode0");
}

struct ScreenCase {
    const char* Name;
    std::function<void(InstrumentState&, Panel4&, PanelRenderer&)> Draw;
};

class Screen : public testing::TestWithParam<ScreenCase> {};

TEST_P(Screen, IsWrittenForAReviewer) {
    InstrumentState state;
    Panel4 display;
    RecordedControls controls;
    PanelRenderer renderer(state, display, controls);
    DrawStartupDisplay(display);
    GetParam().Draw(state, display, renderer);
    const QImage picture = Picture(display);
    ASSERT_EQ(picture.size(), QSize(601, 107));
    Save(picture, GetParam().Name);
}

INSTANTIATE_TEST_SUITE_P(
    Screenshot, Screen,
    testing::Values(ScreenCase{"mode1_ac",
                               [](InstrumentState& s, Panel4&, PanelRenderer& r) {
                                   s.Mode = PanelMode::OutputOn;
                                   s.RangeIndex = 21;
                                   s.OutputDigits = "1000000";
                                   s.ViewMode = 2;
                                   r.PrintMode("50");
                               }},
                    ScreenCase{"mode1_percent",
                               [](InstrumentState& s, Panel4& d, PanelRenderer& r) {
                                   s.Mode = PanelMode::OutputOn;
                                   s.OkCalibr = 1;
                                   s.CoefCalibr = 1;
                                   s.OutputDigits = "00934570";
                                   r.PrintMode("1000");
                                   r.SetPercentBase(1234567);
                                   d.CLRDisp(2);
                                   d.PrintText(1, 2, 4, "ј");
                                   d.PrintText(2, 2, 4, "U=");
                                   r.PrintPercent();
                               }},
                    ScreenCase{"mode12_reading",
                               [](InstrumentState& s, Panel4& d, PanelRenderer& r) {
                                   s.Mode = PanelMode::Measurement;
                                   s.VoltmeterAuto = 0;
                                   s.VoltmeterRange = 2;
                                   s.OkInput1 = 1;
                                   s.CoefComp = 1;
                                   s.ViewMode = 2;
                                   s.MeasuredDigits = "0123456789";
                                   r.PrintMode("1000");
                                   d.PrintText(1, 1, 4, "-");
                                   r.PrintUin();
                               }},
                    ScreenCase{"mode12_delta_percent",
                               [](InstrumentState& s, Panel4& d, PanelRenderer& r) {
                                   s.Mode = PanelMode::Measurement;
                                   s.VoltmeterDelta = 1;
                                   s.VoltmeterPercent = 1;
                                   s.MeasuredDigits = "1234567890";
                                   r.PrintMode("1000");
                                   d.PrintText(1, 1, 4, "+");
                                   r.PrintUperc();
                               }},
                    ScreenCase{"capitals",
                               [](InstrumentState&, Panel4& d, PanelRenderer&) {
                                   d.PrintText(1, 1, 4, "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦ");
                                   d.PrintText(1, 2, 4, "ЧШЩЪЫЬЭЮЯ Ѕ ј ѕ ї » 0O~\\");
                               }},
                    ScreenCase{"small_letters",
                               [](InstrumentState&, Panel4& d, PanelRenderer&) {
                                   d.PrintText(1, 1, 4, "абвгдежзийклмнопрстуфхц");
                                   d.PrintText(1, 2, 4, "чшщъыьэюя Ёё Ok Ок K К");
                               }}),
    test::RowName());

} // namespace
} // namespace vr410
