// The entry controls under the display: Label9 and the output value field MaskEditVoltage, and
// the frequency panel PanelFreq with LabelFreq and the spin field SE_Freq (hidden unless the
// range is AC). The bar is always as large as its visible controls and their texts need.
#pragma once

#include <QWidget>

class QLabel;
class QSpinBox;

namespace vr410 {

class MaskedDigitEdit;

class OutputEntryBar : public QWidget {
    Q_OBJECT
  public:
    explicit OutputEntryBar(QWidget* parent = nullptr);

    QLabel* Label9() const { return Label_; }
    MaskedDigitEdit* MaskEditVoltage() const { return Field_; }
    QWidget* PanelFreq() const { return FreqPanel_; }
    QLabel* LabelFreq() const { return FreqLabel_; }
    QSpinBox* SE_Freq() const { return Freq_; }

    // Shows or hides Label9 with MaskEditVoltage, as the keys ask ("Измерение" hides them,
    // "Сброс" shows them again).
    void SetOutputEntryVisible(bool visible);
    // Shows or hides PanelFreq, as the keys and the state answer ask (shown on AC ranges).
    void SetFreqPanelVisible(bool visible);
    // The link's state, as the status bar shows it: without a ready link there is nothing to
    // set, and the controls are hidden whatever the keys asked; with one they show as asked.
    // A new bar takes the link as ready.
    void SetLinkReady(bool ready);

  private:
    void ShowAsAsked();

    bool LinkReady_ = true;
    bool EntryAsked_ = true;
    bool FreqAsked_ = false;
    QLabel* Label_;
    MaskedDigitEdit* Field_;
    QWidget* FreqPanel_;
    QLabel* FreqLabel_;
    QSpinBox* Freq_;
};

} // namespace vr410
