// The main window creates the program's other windows once, in a fixed order, after its own
// creation handler has loaded the settings they start from; they live until the program ends
// and are hidden, not destroyed, when closed.
#include "shell/form_main.h"

#include "shell/form_about.h"
#include "shell/form_address.h"
#include "shell/form_calibration.h"
#include "shell/form_com.h"
#include "shell/form_help.h"
#include "shell/form_interface.h"
#include "shell/form_ok_cal.h"
#include "shell/form_param.h"
#include "shell/form_vr410c.h"

namespace vr410 {

void TFormMain::CreateWindows() {
    const auto created = [this](const QWidget& window) {
        WindowsCreated_.append(window.objectName());
    };
    // The user calibration dialog, opened by the shifted "Калибровка" key.
    FormCalibration_ = std::make_unique<TFormCalibration>(this, State_, Dialogs_, *Facilities_);
    KeyHost_->Actions().OpenCalibrationDialog = [this] { return FormCalibration_->Execute(); };
    created(*FormCalibration_);
    CreateFormParam();
    created(*FormParam_);
    // The address dialogs fill their fields from the addresses the settings gave.
    FormAddressPC_ = new TFormAddressPC(this, *Facilities_, State_, Dialogs_);
    created(*FormAddressPC_);
    FormDevice_ = new TFormDevice(this, *Facilities_, State_, Dialogs_);
    created(*FormDevice_);
    CreateFormOkCal();
    created(*FormOkCal_);
    // The packet monitor; its creation shows it and the strip when they were shown last time.
    FormInterface_ = std::make_unique<TFormInterface>();
    created(*FormInterface_);
    if (ShowPackets_) {
        CommandMenu::Click(N15_);
    }
    FormHelp_ = std::make_unique<TFormHelp>(*this);
    created(*FormHelp_);
    // The accessory window, opened by "VR410С".
    FormVR410C_ = std::make_unique<TFormVR410C>(this, State_, Dialogs_, *N3001_, *Engine_);
    created(*FormVR410C_);
    FormCOM_ = new TFormCOM(this, *Facilities_);
    created(*FormCOM_);
    FormAbout_ = std::make_unique<TFormAbout>(*this, QString::fromStdString(SettingsPath_));
    FollowFirmwareAnswers(*FormAbout_, Engine_->Events(), Dialogs_);
    created(*FormAbout_);
    // The error notice TFormMessage is made with the USB link's host, which reports through it.
}

} // namespace vr410
