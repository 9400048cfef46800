// The exchange cycle: a selected command is encoded on the next tick of TimerPrd, sent and its
// answer received, checked and decoded on the next tick of TimerPriem, with one repeat of a
// failed attempt; in measurement mode (Mode 12) TimerQuery and TimerReadADC keep the reading
// fresh, and TimerPredelOn turns a confirmed set-output into the output-on mode.
// Everything runs on the thread of the Qt event loop; no handler blocks longer than one
// exchange on the link.
#pragma once

#include "protocol/answer.h"
#include "protocol/frame.h"
#include "protocol/instrument_state.h"
#include "shell/command_menu.h"
#include "shell/cycle_window.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

namespace vr410 {

// The request and packet buffers the cycle fills and the links read and write.
struct ExchangeBuffers {
    FrameBytes TxFrame{};
    PacketRecord TxPacket{};
    PacketRecord RxPacket{};
};

class ExchangeCycle : public QObject {
    Q_OBJECT
  public:
    // Keeps references to all arguments; they must outlive the cycle. Connects the command
    // items, N11 and N12 to their handlers and sets the five timers to their start states
    // (TimerPredelOn running).
    ExchangeCycle(InstrumentState& state, ExchangeBuffers& buffers, CommandMenu& menu,
                  Link& serialLink, AnswerView& view, CycleWindow& window,
                  QObject* parent = nullptr);

    // While link is set, exchanges go through it instead of the serial link and a stop resets
    // its adapter; nullptr returns to the serial link.
    void SetUsbLink(UsbLink* link) { Usb_ = link; }

    // Handlers of the command items, N11 and N12.
    void N00Click(QAction* item);
    void N11Click();
    void N12Click();
    // Stops polling and a running transmission; N11 enabled again, N12 disabled.
    void StopTransmit();

    void TimerPrdTimer();   // encodes the selected request
    void TimerPriemTimer(); // sends, receives, validates (two attempts), decodes, re-arms polling
    void TimerQueryTimer();
    void TimerReadADCTimer();
    void TimerPredelOnTimer();

    // Buttons of the main window: the exchange test; parameters, state and (outside
    // measurement) the set output read one after another, then the panel redrawn.
    void SB_TestClick();
    void SB_QueryStateClick();

    // Waits ms milliseconds while the event loop keeps running.
    static void Delay(int ms);

    QTimer& TimerPrd() { return TimerPrd_; }
    QTimer& TimerPriem() { return TimerPriem_; }
    QTimer& TimerQuery() { return TimerQuery_; }
    QTimer& TimerReadADC() { return TimerReadADC_; }
    QTimer& TimerPredelOn() { return TimerPredelOn_; }

  signals:
    // N11 ran: the command with that code is on its way.
    void TransmitGiven(uint8_t code);
    // One attempt is about to put TxPacket on the wire.
    void RequestSending(uint8_t code);
    // The last attempt of an exchange ended; accepted means the answer was decoded.
    void AnswerHandled(uint8_t code, bool accepted);
    // The link found its device gone during the exchange that just ended: the exchange ended at
    // once, without a second attempt, and the transmission and the polling are stopped. The link
    // has closed its port; the window shows the link's status.
    void LinkLost();

  private:
    Link& ActiveLink();
    // What a decoded answer asks of TimerReadADC.
    void ApplyReadValue(ReadValueAction action);

    InstrumentState& State_;
    ExchangeBuffers& Buffers_;
    CommandMenu& Menu_;
    Link& SerialLink_;
    AnswerView& View_;
    CycleWindow& Window_;
    UsbLink* Usb_ = nullptr;

    // An exchange is on the link; a transmit given meanwhile waits for its end.
    bool ExchangeRunning_ = false;
    bool EncodeWaiting_ = false;
    // Counts stops (and selections, which stop): an exchange compares it to notice one that
    // happened while the link waited.
    unsigned Stops_ = 0;

    QTimer TimerPrd_;
    QTimer TimerPriem_;
    QTimer TimerQuery_;
    QTimer TimerReadADC_;
    QTimer TimerPredelOn_;
};

} // namespace vr410
