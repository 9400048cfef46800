// The main window's wiring of the exchange engine: the command items, N11, N12 and the buttons
// give it their clicks; its events write the packet strip, the packet monitor's lines, the
// transmit items and, when the link is lost, the status bar.
#include "shell/form_main.h"

#include "platform/ftdi_simulated.h"
#include "platform/serial_simulated.h"
#include "protocol/frame.h"
#include "shell/form_interface.h"
#include "shell/form_vr410c.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace vr410 {

void TFormMain::WireEngine() {
    for (QAction* item : Menu_.Items()) {
        const auto code = static_cast<uint8_t>(item->data().toInt());
        connect(item, &QAction::triggered, this, [this, code] { Engine_->N00Click(code); });
    }
    connect(Menu_.N11, &QAction::triggered, this, [this] { Engine_->N11Click(); });
    connect(Menu_.N12, &QAction::triggered, this, [this] { Engine_->N12Click(); });
    Engine_->Events().Subscribe([this](const engine::EngineEvent& event) { OnEngineEvent(event); });
    Menu_.N11->setEnabled(Engine_->TransmitEnabled());
    Menu_.N12->setEnabled(Engine_->StopEnabled());
    // The adapters are listed every 2 s with no exchange at all in an idle window: the simulated
    // adapters' log goes on each tick as well, keeping at most one scan's calls.
    connect(&TimerUSBFind_, &QTimer::timeout, this, [this] {
        if (Line_.SimulatedUsb != nullptr) {
            Line_.SimulatedUsb->ClearLog();
        }
    });
}

void TFormMain::OnEngineEvent(const engine::EngineEvent& event) {
    using namespace engine;
    if (const auto* selected = std::get_if<CommandSelected>(&event)) {
        if (QAction* item = Menu_.Item(selected->Code)) {
            item->setChecked(true);
        }
        LabelCommand_->setText(QString::fromStdString(selected->Caption));
    } else if (const auto* changed = std::get_if<StateChanged>(&event)) {
        Menu_.N11->setEnabled(changed->TransmitEnabled);
        Menu_.N12->setEnabled(changed->StopEnabled);
        if (changed->To == CycleState::Exchanging) {
            LabelAnswer_->clear(); // each exchange starts with an empty answer label
        }
    } else if (const auto* encoded = std::get_if<RequestEncoded>(&event)) {
        FormInterface_->SetSendLine(SendLine(encoded->Packet));
    } else if (const auto* attempt = std::get_if<AttemptFinished>(&event)) {
        if (attempt->ReceiveRan) {
            FormInterface_->SetReceiveLine(ReceiveLine(attempt->Received));
        }
        if (attempt->Result == AttemptResult::Refused) {
            LabelAnswer_->setText(QString::fromStdString(attempt->Outcome));
        }
    } else if (const auto* decoded = std::get_if<AnswerDecoded>(&event)) {
        LabelAnswer_->setText(QString::fromStdString(decoded->Text));
        FormVR410C_->TakeAnswerPresses(); // a read answer in accessory mode presses its buttons
    } else if (std::holds_alternative<ExchangeEnded>(event)) {
        // The simulated line and adapters log every call for tests; a running program has no
        // use for the logs, so they are dropped after each exchange instead of growing for hours.
        if (Line_.Simulated != nullptr) {
            Line_.Simulated->ClearLog();
        }
        if (Line_.SimulatedUsb != nullptr) {
            Line_.SimulatedUsb->ClearLog();
        }
    } else if (std::holds_alternative<LinkLost>(event)) {
        // An unplugged adapter: the driver has closed the port; the status bar and the controls
        // follow ("COM3 - отсутствует", the exchange disabled).
        ShowPortStatus();
    }
}

} // namespace vr410
