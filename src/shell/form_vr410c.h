// TFormVR410C "VR410С": the remote control of the VR410С accessory on the bus address 251. A row
// of band buttons over a row of factor buttons, each row one radio group; every click sends at
// once. While the window is open the menu item "VR410С" stays ticked, which sends every request
// to the accessory; closing the window unticks it.
#pragma once

#include "shell/dialog_model.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QAction;
class QButtonGroup;
class QPushButton;

namespace vr410 {

struct InstrumentState;

namespace engine {
class ExchangeEngine;
}

class TFormVR410C : public QDialog {
    Q_OBJECT
  public:
    // All references must outlive the window. parent is the main window, on which the window is
    // centred when first shown; accessoryItem is N3001 "VR410С"; the answers' button presses
    // come from dialogs.
    TFormVR410C(QWidget* parent, InstrumentState& state, DialogModel& dialogs,
                QAction& accessoryItem, engine::ExchangeEngine& engine);

    // The item's click: ticks it, reads the accessory's band and factor and shows the window
    // modally; returns when it was closed, with the item unticked.
    void N3001Click();
    // Presses the buttons the answers asked for since the last call, oldest first.
    void TakeAnswerPresses();

    QPushButton* Button(AccessoryButton button) const {
        return Buttons_[static_cast<size_t>(button)];
    }
    // The code a button stands for: the band or the factor; -1 for "Сброс".
    int Tag(AccessoryButton button) const { return Tags_[static_cast<size_t>(button)]; }

  protected:
    void showEvent(QShowEvent* event) override;
    // Keys reach the window first: Ctrl turns "10A" into "30A"; Escape does not close it.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void LayOut();
    void BandClick(AccessoryButton button);
    void FactorClick(AccessoryButton button);
    void SB_ResetClick();
    // SB_5 shows "30A" with the 30 A band's code while Ctrl is held, else "10A".
    void ShowCtrl(bool held);
    void Send(uint8_t code);

    InstrumentState& State_;
    DialogModel& Dialogs_;
    QAction& AccessoryItem_;
    engine::ExchangeEngine& Engine_;
    std::array<QPushButton*, 12> Buttons_{};
    std::array<int, 12> Tags_{};
    QButtonGroup* Bands_ = nullptr;
    QButtonGroup* Factors_ = nullptr;
};

} // namespace vr410
