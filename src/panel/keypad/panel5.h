// Panel5: the copy of the instrument's keypad beside the display, 18 buttons in three rows with
// the shifted functions' names in blue under them. The buttons show the latches of KeyLatches;
// a click is reported as KeyClicked, and the keypad's handlers latch whatever should stay down.
#pragma once

#include "panel/keypad/key_latches.h"

#include <QFrame>

#include <array>

class QLabel;
class QPushButton;

namespace vr410 {

class Panel5 : public QFrame {
    Q_OBJECT
  public:
    // The design's sizes. The buttons and the panel grow where the captions need more in the
    // panel's font: every key keeps that font, none is written smaller to fit.
    static constexpr int PanelWidth = 465;
    static constexpr int PanelHeight = 169;
    static constexpr int ButtonWidth = 65;
    static constexpr int ButtonHeight = 33;

    explicit Panel5(QWidget* parent = nullptr);

    QPushButton* Button(PanelKey key) const { return Buttons_[static_cast<size_t>(key)]; }
    // The blue label under key, or nullptr for keys without a shifted function.
    QLabel* ShiftLabel(PanelKey key) const { return ShiftLabels_[static_cast<size_t>(key)]; }

    bool IsKeyDown(PanelKey key) const { return Latches_.IsDown(key); }
    // Latches key down (its group mates up) or releases it, and shows it.
    void SetKeyDown(PanelKey key, bool down);

  signals:
    void KeyClicked(vr410::PanelKey key);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void ShowLatches();
    // Lays the buttons and the blue labels out on a grid wide enough for every caption.
    void LayOut();
    // "Ряд" is blue and bold while the keypad works, plain grey while it is disabled.
    void ShowShiftFace();

    KeyLatches Latches_;
    std::array<QPushButton*, PanelKeyCount> Buttons_{};
    std::array<QLabel*, PanelKeyCount> ShiftLabels_{};
};

} // namespace vr410
