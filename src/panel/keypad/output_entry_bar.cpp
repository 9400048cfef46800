#include "panel/keypad/output_entry_bar.h"

#include "panel/keypad/masked_digit_edit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace vr410 {

OutputEntryBar::OutputEntryBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("OutputEntryBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The bar stands at a fixed place in the window, outside any layout: without this it would
    // keep the size of its first show, and controls shown later (the field after the first
    // port, the frequency panel on an AC range) would be squeezed or clipped to nothing.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Label = new QLabel(QStringLiteral("Выходное значение"), this);
    Label->setObjectName(QStringLiteral("Label9"));
    Field = new MaskedDigitEdit(this);
    Field->setObjectName(QStringLiteral("MaskEditVoltage"));
    Field->SetLeastSize(QSize(79, 21));
    Field->setToolTip(QStringLiteral("Выходное значение калибратора"));
    Field->SetMask(QStringLiteral("00,000m000V;0;0"));

    FreqPanel = new QWidget(this);
    FreqPanel->setObjectName(QStringLiteral("PanelFreq"));
    auto* freqLayout = new QHBoxLayout(FreqPanel);
    freqLayout->setContentsMargins(0, 0, 0, 0);
    FreqLabel = new QLabel(QStringLiteral("Частота"), FreqPanel);
    FreqLabel->setObjectName(QStringLiteral("LabelFreq"));
    // Values outside 45..1000 never become the field's value: the spin field refuses digits that
    // cannot lead into the range and falls back to its last valid value when it loses the focus.
    Freq = new QSpinBox(FreqPanel);
    Freq->setObjectName(QStringLiteral("SE_Freq"));
    Freq->setRange(45, 1000);
    Freq->setValue(1000);
    if (QLineEdit* edit = Freq->findChild<QLineEdit*>()) {
        edit->setMaxLength(4);
    }
    freqLayout->addWidget(FreqLabel);
    freqLayout->addWidget(Freq);
    FreqPanel->hide();

    layout->addWidget(Label);
    layout->addWidget(Field);
    layout->addSpacing(12);
    layout->addWidget(FreqPanel);
}

void OutputEntryBar::SetOutputEntryVisible(bool visible) {
    EntryAsked = visible;
    ShowAsAsked();
}

void OutputEntryBar::SetFreqPanelVisible(bool visible) {
    FreqAsked = visible;
    ShowAsAsked();
}

void OutputEntryBar::SetLinkReady(bool ready) {
    LinkReady = ready;
    ShowAsAsked();
}

void OutputEntryBar::ShowAsAsked() {
    Label->setVisible(LinkReady && EntryAsked);
    Field->setVisible(LinkReady && EntryAsked);
    FreqPanel->setVisible(LinkReady && FreqAsked);
}

} // namespace vr410
