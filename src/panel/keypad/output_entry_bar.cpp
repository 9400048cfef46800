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

    Label_ = new QLabel(QStringLiteral("Выходное значение"), this);
    Label_->setObjectName(QStringLiteral("Label9"));
    Field_ = new MaskedDigitEdit(this);
    Field_->setObjectName(QStringLiteral("MaskEditVoltage"));
    Field_->SetLeastSize(QSize(79, 21));
    Field_->setToolTip(QStringLiteral("Выходное значение калибратора"));
    Field_->SetMask(QStringLiteral("00,000m000V;0;0"));

    FreqPanel_ = new QWidget(this);
    FreqPanel_->setObjectName(QStringLiteral("PanelFreq"));
    auto* freqLayout = new QHBoxLayout(FreqPanel_);
    freqLayout->setContentsMargins(0, 0, 0, 0);
    FreqLabel_ = new QLabel(QStringLiteral("Частота"), FreqPanel_);
    FreqLabel_->setObjectName(QStringLiteral("LabelFreq"));
    // Values outside 45..1000 never become the field's value: the spin field refuses digits that
    // cannot lead into the range and falls back to its last valid value when it loses the focus.
    Freq_ = new QSpinBox(FreqPanel_);
    Freq_->setObjectName(QStringLiteral("SE_Freq"));
    Freq_->setRange(45, 1000);
    Freq_->setValue(1000);
    if (QLineEdit* edit = Freq_->findChild<QLineEdit*>()) {
        edit->setMaxLength(4);
    }
    freqLayout->addWidget(FreqLabel_);
    freqLayout->addWidget(Freq_);
    FreqPanel_->hide();

    layout->addWidget(Label_);
    layout->addWidget(Field_);
    layout->addSpacing(12);
    layout->addWidget(FreqPanel_);
}

void OutputEntryBar::SetOutputEntryVisible(bool visible) {
    EntryAsked_ = visible;
    ShowAsAsked();
}

void OutputEntryBar::SetFreqPanelVisible(bool visible) {
    FreqAsked_ = visible;
    ShowAsAsked();
}

void OutputEntryBar::SetLinkReady(bool ready) {
    LinkReady_ = ready;
    ShowAsAsked();
}

void OutputEntryBar::ShowAsAsked() {
    Label_->setVisible(LinkReady_ && EntryAsked_);
    Field_->setVisible(LinkReady_ && EntryAsked_);
    FreqPanel_->setVisible(LinkReady_ && FreqAsked_);
}

} // namespace vr410
