#include "shell/usb_menu.h"

#include "engine/exchange_engine.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace vr410 {

namespace {

// The engine is between its send and the end of the answer: the link is in use.
bool OnTheLink(engine::CycleState state) {
    using engine::CycleState;
    return state == CycleState::Exchanging || state == CycleState::Stopping ||
           state == CycleState::StoppingTransmitGiven;
}

} // namespace

QString UsbItemText(const std::string& caption) {
    return QString::fromStdString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

UsbMenu::UsbMenu(Widgets widgets, FtdiApi* api, UsbAdapterLink& usbPort, LinkSelection& links,
                 engine::ExchangeEngine& engine, QObject* parent)
    : QObject(parent), Widgets_(widgets), Links_(links), Scan_(api, usbPort, links) {
    Scan_.HoldWhileExchanging([&engine] { return OnTheLink(engine.State()); });
    engine.Events().Subscribe([this](const engine::EngineEvent& event) {
        const auto* changed = std::get_if<engine::StateChanged>(&event);
        if (changed != nullptr && OnTheLink(changed->From) && !OnTheLink(changed->To) &&
            Scan_.Pending()) {
            // Not inside the engine's own step: the scan may change the link.
            QTimer::singleShot(0, this, [this] { Scan_.RunPending(); });
        }
    });
    Widgets_.USB1->setToolTipsVisible(true); // the hint: the serial number
    connect(Widgets_.USBFind, &QAction::triggered, this, &UsbMenu::USBFindClick);
    connect(Widgets_.TimerUSBFind, &QTimer::timeout, this, &UsbMenu::TimerUSBFindTimer);
}

QAction* UsbMenu::Item(const std::string& caption) const {
    const auto found = std::find_if(Items_.begin(), Items_.end(),
                                    [&](const auto& item) { return item.first == caption; });
    return found != Items_.end() ? found->second : nullptr;
}

bool UsbMenu::IsDeviceItem(const QAction* action) const {
    return std::any_of(Items_.begin(), Items_.end(),
                       [&](const auto& item) { return item.second == action; });
}

void UsbMenu::ShowItems() {
    const std::vector<UsbDeviceItem> wanted = Links_.UsbItems();
    const auto listed = [&](const std::string& caption) {
        return std::any_of(wanted.begin(), wanted.end(),
                           [&](const UsbDeviceItem& item) { return item.Caption == caption; });
    };
    for (auto it = Items_.begin(); it != Items_.end();) {
        if (listed(it->first)) {
            ++it;
            continue;
        }
        QAction* gone = it->second;
        Widgets_.Group->removeAction(gone);
        Widgets_.USB1->removeAction(gone);
        gone->deleteLater(); // it may be the item whose click is being handled
        it = Items_.erase(it);
    }
    // The selection only appends, so the items left are in its order and the new ones follow.
    for (const UsbDeviceItem& device : wanted) {
        if (Item(device.Caption) != nullptr) {
            continue;
        }
        auto* item = new QAction(UsbItemText(device.Caption), Widgets_.USB1);
        item->setToolTip(QString::fromStdString(device.Device.SerialNumber));
        item->setCheckable(true);
        Widgets_.Group->addAction(item);
        Widgets_.USB1->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, caption = device.Caption] { USBClick(caption); });
        Items_.emplace_back(device.Caption, item);
    }
    ShowTicks();
}

void UsbMenu::ShowTicks() {
    if (const auto& active = Links_.ActiveUsbItem()) {
        if (QAction* item = Item(active->Caption)) {
            item->setChecked(true);
        }
        return;
    }
    QAction* ticked = Widgets_.Group->checkedAction();
    if (Links_.Status() == LinkStatus::UsbNotOpened) {
        // The device chosen did not open: no link, and no item ticked.
        if (ticked != nullptr) {
            ticked->setChecked(false);
        }
        return;
    }
    if (ticked != nullptr && !IsDeviceItem(ticked)) {
        return; // the port choice ticked its own item
    }
    // The link left a device without a port choice (the device vanished, a click was refused):
    // the item of the port in use, No Port when there is none.
    QAction* port = Widgets_.NoPort;
    if (Links_.ComNumber() != 0) {
        for (QAction* item : Widgets_.Group->actions()) {
            if (!IsDeviceItem(item) && item->data().toInt() == Links_.ComNumber()) {
                port = item;
                break;
            }
        }
    }
    port->setChecked(true);
}

void UsbMenu::USBClick(const std::string& caption) {
    Links_.SelectUsbDevice(caption);
    ShowTicks(); // also when the choice was refused: the click ticked the item regardless
}

} // namespace vr410
