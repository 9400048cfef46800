// The two bus address dialogs of the "Связь" menu: TFormDevice "Адрес назначения" sets
// AddrDevice, the instrument the requests go to; TFormAddressPC "Адрес компьютера" sets
// PCDevice, the PC's own address. Each has a label, a three-digit address field and "Сохранить";
// Enter saves, Escape closes without saving. The fields keep what was typed last, also when the
// dialog was closed without saving; the destination field also takes the instrument address the
// parameters dialog wrote (DialogModel::DeviceAddressField).
#pragma once

#include "platform/system_facilities.h"
#include "protocol/instrument_state.h"
#include "shell/dialog_model.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace vr410 {

class TIntEdit;

// The destination address: above 255 becomes 255, below 0 becomes 0.
int AdjustDeviceAddress(int64_t value);
// The PC address: above 240 becomes 240, below 0 becomes 0; then, when equal to `addrDevice`,
// 0 becomes 1 and any other value one less.
int AdjustPcAddress(int64_t value, int addrDevice);

// What the two dialogs share; each names its caption, field and rule.
class TAddressDialog : public QDialog {
    Q_OBJECT
  public:
    TIntEdit* Field() { return Field_; }
    QPushButton* B_Save() { return B_Save_; }

    // "Сохранить": adjusts the field, stores the address and closes the dialog.
    void B_SaveClick();

  protected:
    struct Design {
        const char* Name;
        QString Caption; // the label is the caption and a colon
        const char* FieldName;
        std::function<int(int64_t)> Adjust; // the address rule
    };
    // `model` is the model's copy of the field, which the field was filled from at start;
    // "Сохранить" stores the adjusted field into `address`.
    TAddressDialog(QWidget* owner, SystemFacilities& facilities, int& model, uint8_t& address,
                   Design design);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void AdjustField();

    SystemFacilities& Facilities_;
    int& Model_;
    uint8_t& Address_;
    int Synced_; // the model's value when the field last matched it
    Design Design_;
    TIntEdit* Field_ = nullptr;
    QPushButton* B_Save_ = nullptr;
};

class TFormDevice : public TAddressDialog {
    Q_OBJECT
  public:
    // Field IntEditAddrDevice, filled from dialogs.DeviceAddressField; saves into
    // state.AddrDevice.
    TFormDevice(QWidget* owner, SystemFacilities& facilities, InstrumentState& state,
                DialogModel& dialogs);
};

class TFormAddressPC : public TAddressDialog {
    Q_OBJECT
  public:
    // Field IntEditAddrPC, filled from dialogs.PcAddressField; saves into state.PCDevice, kept
    // apart from state.AddrDevice.
    TFormAddressPC(QWidget* owner, SystemFacilities& facilities, InstrumentState& state,
                   DialogModel& dialogs);
};

} // namespace vr410
