// The entry controls under the display: Label9 and the output value field MaskEditVoltage, and
// the frequency panel PanelFreq with LabelFreq and the spin field SE_Freq (hidden unless the
// range is AC).
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

    QLabel* Label9() const { return Label; }
    MaskedDigitEdit* MaskEditVoltage() const { return Field; }
    QWidget* PanelFreq() const { return FreqPanel; }
    QLabel* LabelFreq() const { return FreqLabel; }
    QSpinBox* SE_Freq() const { return Freq; }

    // Shows or hides Label9 with MaskEditVoltage.
    void SetOutputEntryVisible(bool visible);

  private:
    QLabel* Label;
    MaskedDigitEdit* Field;
    QWidget* FreqPanel;
    QLabel* FreqLabel;
    QSpinBox* Freq;
};

} // namespace vr410
