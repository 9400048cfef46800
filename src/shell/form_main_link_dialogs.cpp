// The main window's link dialogs: "COM..." asks for a port number, "Адрес назначения..." and
// "Адрес компьютера..." set the two bus addresses.
#include "shell/form_main.h"

#include "links/link_selection.h"
#include "shell/form_address.h"
#include "shell/form_com.h"

#include <QAction>

namespace vr410 {

void TFormMain::N28Click() {
    FormDevice_->exec();
}

void TFormMain::N29Click() {
    FormAddressPC_->exec();
}

void TFormMain::COMxClick() {
    const std::optional<int64_t> number = FormCOM_->Ask(Links_->ComNumber());
    if (!number) {
        // Nothing changes: the tick goes back to the link in use.
        COMx_->setChecked(false);
        if (PortTick_ != nullptr) {
            PortTick_->setChecked(true);
        }
        return;
    }
    // The tag keeps the number typed; the port is its low 8 bits, and 0 is No Port.
    COMx_->setData(static_cast<int>(*number));
    NoPortClick(COMx_);
}

} // namespace vr410
