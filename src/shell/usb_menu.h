// The "USB" submenu of "Связь": one radio item per adapter the scan found, in the same group
// as "No Port" and the COM items, so one link is ticked at a time. The scan runs on "Найти USB
// устройства", on every tick of TimerUSBFind and once at the end of start-up; a scan held back
// by an exchange runs as soon as the exchange ends. The items, the ticks and the choices come
// from the link selection; this class only shows them and hands the clicks on.
#pragma once

#include "links/usb_scan.h"

#include <QObject>

#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QTimer;

namespace vr410 {

namespace engine {
class ExchangeEngine;
}

class UsbMenu : public QObject {
  public:
    struct Widgets {
        QMenu* USB1;         // the "USB" submenu
        QActionGroup* Group; // radio group 1: No Port, COM1..COM6, COM... and the devices
        QAction* NoPort;
        QAction* USBFind;     // "Найти USB устройства"
        QTimer* TimerUSBFind; // every 2 s from start-up to exit
    };

    // All must outlive the menu; api may be null. Connects the search item and the timer.
    UsbMenu(Widgets widgets, FtdiApi* api, UsbAdapterLink& usbPort, LinkSelection& links,
            engine::ExchangeEngine& engine, QObject* parent = nullptr);

    // After the selection added or removed items: the submenu follows, item for item.
    void ShowItems();
    // After every link change: the device in use ticked; after a refused open none; when the
    // link left a device, the COM item of the port chosen (No Port for none).
    void ShowTicks();

    void TimerUSBFindTimer() { Scan_.CreateUSBMenu(); }
    void USBFindClick() { Scan_.CreateUSBMenu(); }
    // A device item's click: the device of that caption becomes the link.
    void USBClick(const std::string& caption);

    // The item of the device with this caption, or nullptr.
    QAction* Item(const std::string& caption) const;
    UsbDeviceScan& Scan() { return Scan_; }

  private:
    bool IsDeviceItem(const QAction* action) const;

    Widgets Widgets_;
    LinkSelection& Links_;
    UsbDeviceScan Scan_;
    std::vector<std::pair<std::string, QAction*>> Items_; // caption, item; in menu order
};

// The menu text of a caption: "&" is doubled, so a description holding one shows it as it is.
QString UsbItemText(const std::string& caption);

} // namespace vr410
