// The main window creates the program's other windows once, in a fixed order, after its own
// creation handler; they live until the program ends and are hidden, not destroyed, when closed.
#include "shell/form_main.h"

#include "shell/form_about.h"
#include "shell/form_help.h"
#include "shell/form_interface.h"

namespace vr410 {

void TFormMain::CreateWindows() {
    // The packet monitor; its creation shows it and the strip when they were shown last time.
    FormInterface_ = std::make_unique<TFormInterface>();
    if (ShowPackets_) {
        CommandMenu::Click(N15_);
    }
    FormHelp_ = std::make_unique<TFormHelp>(*this);
    FormAbout_ = std::make_unique<TFormAbout>(*this, QString::fromStdString(SettingsPath_));
    FollowFirmwareAnswers(*FormAbout_, Engine_->Events(), Dialogs_);
}

} // namespace vr410
