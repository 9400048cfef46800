// The main window's parameters dialog and complete-zero dialog: created once, opened by the
// keypad's "МЕНЮ" and "Ок".
#include "shell/form_main.h"

#include "shell/form_ok_cal.h"
#include "shell/form_param.h"

namespace vr410 {

void TFormMain::CreateFormParam() {
    ParamDialogActions actions{
        .IssueCommand = [this](uint8_t code) { Engine_->Issue(code); },
        .PrintMode = [this] { KeyHost_->PrintMode(); },
    };
    FormParam_ =
        std::make_unique<TFormParam>(State_, Dialogs_, *Facilities_, std::move(actions), this);
    KeyHost_->Actions().OpenParamDialog = [this] { FormParam_->ShowModal(); };
}

void TFormMain::CreateFormOkCal() {
    FormOkCal_ = std::make_unique<TFormOkCal>(Dialogs_, this);
    KeyHost_->Actions().OpenOkCalDialog = [this](int digits, const std::string& letters) {
        return FormOkCal_->ShowModal(digits, letters);
    };
}

} // namespace vr410
