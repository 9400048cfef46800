// TFormParam "Пользовательские настройки VR410К": the instrument's stored user parameters, shown
// in eleven numbered entries, read with "Считать параметры" and written back with "Сохранить
// параметры". The dialog holds no protocol: it issues the read and set-parameters commands and
// shows what the decoded answers put into the dialog model. It is created once, shown modally as
// often as the operator opens it and hidden, not destroyed, when closed.
#pragma once

#include "protocol/instrument_state.h"
#include "shell/dialog_model.h"

#include <QDialog>

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

namespace vr410 {

class SystemFacilities;
class TIntEdit;

// What the dialog asks of the main window.
struct ParamDialogActions {
    std::function<void(uint8_t)> IssueCommand; // selects the command and clicks "Передать"
    std::function<void()> PrintMode;           // the panel redrawn for the current mode
};

class TFormParam : public QDialog {
    Q_OBJECT

  public:
    static constexpr int ClientWidth = 337;
    static constexpr int ClientHeight = 287;

    // The texts of the four lists; an item's index is the parameter's code.
    static const QStringList TimeIndItems;
    static const QStringList DigitalFilterItems;
    static const QStringList NumDigitsItems;
    static const QStringList ViewModeItems;

    // Keeps the references; they must outlive the dialog. The controls start from `dialogs`.
    TFormParam(InstrumentState& state, DialogModel& dialogs, SystemFacilities& facilities,
               ParamDialogActions actions, QWidget* owner);
    ~TFormParam() override;

    // Shows the dialog modally, centred on its owner the first time; returns when it is closed.
    void ShowModal();

    // Buttons.
    void Setup_ReadClick();
    void Setup_WriteClick();

    // Controls, by their names.
    QCheckBox* CB_Sound = nullptr;
    QSlider* TrackBarBrihtness = nullptr;
    TIntEdit* IntEditAddrDevice = nullptr;
    QComboBox* GroupTimeInd = nullptr;
    QComboBox* GroupDigitalFilter = nullptr;
    QComboBox* GroupNumDigits = nullptr;
    QComboBox* GroupViewMode = nullptr;
    QCheckBox* CB_CoefCalibr = nullptr;
    QCheckBox* CB_CoefComp = nullptr;
    QCheckBox* CB_MoveCursor = nullptr;
    QCheckBox* CB_Blanking = nullptr;
    QListWidget* LB_Errors = nullptr;
    QPushButton* Setup_Read = nullptr;
    QPushButton* Setup_Write = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Keys reach the form before its controls: Escape closes from anywhere. Leaving the address
    // field keeps its value within 0..255.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

  private:
    void BuildControls();
    // The controls take the values the dialog model holds for them.
    void ShowModelValues();
    // The address field takes the destination address dialog's field.
    void TakeDestinationAddress();
    // A value above 255 becomes 255, one below 0 becomes 0; returns the value the field shows.
    int AdjustAddressField();

    InstrumentState& State_;
    DialogModel& Dialogs_;
    SystemFacilities& Facilities_;
    ParamDialogActions Actions_;
};

} // namespace vr410
