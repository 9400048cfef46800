// Dialogs open centred on the main window the first time, on the screen, and stay where the
// operator moved them afterwards.
#include "shell/window_placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vr410 {
namespace {

struct PlaceCase {
    const char* Name;
    QSize Frame;
    QRect Owner;
    QRect Area;
    QPoint Expected;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.Name;
}

class CentredPlaceOf : public testing::TestWithParam<PlaceCase> {};

TEST_P(CentredPlaceOf, CentresAndKeepsOnTheScreen) {
    const PlaceCase& c = GetParam();
    EXPECT_EQ(CentredPlace(c.Frame, c.Owner, c.Area), c.Expected);
}

// The owner 1000 x 200 at (100, 100) on a 1920 x 1080 screen, unless a row says otherwise.
// clang-format off
INSTANTIATE_TEST_SUITE_P(WindowPlacement, CentredPlaceOf, testing::Values(
    PlaceCase{.Name = "Centred",               .Frame = {200, 100},  .Owner = {100, 100, 1000, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {500, 150}},
    PlaceCase{.Name = "TallerThanTheOwner",    .Frame = {230, 300},  .Owner = {100, 100, 1000, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {485, 50}},
    PlaceCase{.Name = "WouldLeaveTheTop",      .Frame = {400, 600},  .Owner = {100, 0, 1000, 200},   .Area = {0, 0, 1920, 1080}, .Expected = {400, 0}},
    PlaceCase{.Name = "BelowAPanelAtTheTop",   .Frame = {400, 600},  .Owner = {100, 0, 1000, 200},   .Area = {0, 30, 1920, 1050}, .Expected = {400, 30}},
    PlaceCase{.Name = "WouldLeaveTheLeft",     .Frame = {400, 100},  .Owner = {-300, 100, 400, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {0, 150}},
    PlaceCase{.Name = "WouldLeaveTheRight",    .Frame = {400, 100},  .Owner = {1700, 100, 400, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {1520, 150}},
    PlaceCase{.Name = "WouldLeaveTheBottom",   .Frame = {400, 300},  .Owner = {100, 950, 1000, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {400, 780}},
    PlaceCase{.Name = "OnASecondScreen",       .Frame = {200, 100},  .Owner = {2000, 100, 1000, 200}, .Area = {1920, 0, 1280, 1024}, .Expected = {2400, 150}},
    PlaceCase{.Name = "LargerThanTheScreen",   .Frame = {2000, 1200}, .Owner = {100, 100, 1000, 200}, .Area = {0, 0, 1920, 1080}, .Expected = {0, 0}},
    PlaceCase{.Name = "NoScreenKnown",         .Frame = {200, 100},  .Owner = {-900, 100, 1000, 200}, .Area = {},                 .Expected = {-500, 150}}),
    [](const testing::TestParamInfo<PlaceCase>& row) { return std::string(row.param.Name); });
// clang-format on

// A main window stand-in and the two kinds of top-level window the program's dialogs are: a
// QDialog and a plain QWidget window, neither with a parent (a parent would let Qt centre a
// QDialog by itself).
class FirstShow : public testing::TestWithParam<bool> {
  protected:
    FirstShow() {
        Owner.setWindowTitle(QStringLiteral("Главное окно"));
        Owner.setGeometry(100, 100, 500, 190); // the offscreen screen is 800 x 600
        Owner.show();
        if (GetParam()) {
            Dialog = std::make_unique<QDialog>();
        } else {
            Dialog = std::make_unique<QWidget>(nullptr, Qt::Window);
        }
        Dialog->resize(226, 273);
    }
    // How far the dialog's frame centre lies from the owner's, in pixels along each axis.
    QPoint OffCentre() const {
        return Dialog->frameGeometry().center() - Owner.frameGeometry().center();
    }

    QWidget Owner;
    std::unique_ptr<QWidget> Dialog;
};

TEST_P(FirstShow, CentresOnTheOwnersPlaceAtTheFirstShowOnly) {
    CentreOnFirstShow(*Dialog, Owner);
    Owner.move(140, 150); // the place at the first show counts, not the one at the call
    Dialog->show();
    // The frame is the owner's guess until the window manager has framed the dialog.
    EXPECT_LE(OffCentre().manhattanLength(), 4) << OffCentre().x() << ", " << OffCentre().y();

    Dialog->hide();
    Dialog->move(20, 30); // the operator's place
    Owner.move(250, 300);
    Dialog->show();
    EXPECT_EQ(Dialog->pos(), QPoint(20, 30));
}

TEST_P(FirstShow, StaysOnTheScreenBesideAnOwnerAtItsEdge) {
    const QRect area = Owner.screen()->availableGeometry();
    CentreOnFirstShow(*Dialog, Owner);
    Owner.move(area.left(), area.bottom() - 100);
    Dialog->show();
    EXPECT_TRUE(area.contains(Dialog->frameGeometry()))
        << Dialog->frameGeometry().top() << " " << Dialog->frameGeometry().bottom();
}

TEST_P(FirstShow, AnOwnerGoneLeavesTheDialogAlone) {
    auto owner = std::make_unique<QWidget>();
    owner->show();
    CentreOnFirstShow(*Dialog, *owner);
    owner.reset();
    Dialog->move(30, 40);
    Dialog->show();
    EXPECT_EQ(Dialog->pos(), QPoint(30, 40));
}

INSTANTIATE_TEST_SUITE_P(WindowPlacement, FirstShow, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& row) {
                             return std::string(row.param ? "Dialog" : "PlainWindow");
                         });

} // namespace
} // namespace vr410
