// The exchange cycle and the measurement polling.
#include "shell/exchange_cycle.h"

#include "protocol/function_codes.h"
#include "protocol/request_encoder.h"

#include <QAction>
#include <QEventLoop>
#include <QPointer>

namespace vr410 {

namespace {

constexpr int QueryIntervalMs = 120;
constexpr int ReadAdcIntervalMs = 30;
constexpr int PredelOnIntervalMs = 300;
constexpr int QueryStateStepMs = 500;

void SetUp(QTimer& timer, const char* name, int intervalMs) {
    timer.setObjectName(QString::fromLatin1(name));
    timer.setInterval(intervalMs);
    // The polling cadence is measured in tens of milliseconds; a coarse timer may drift 5 %.
    timer.setTimerType(Qt::PreciseTimer);
}

} // namespace

ExchangeCycle::ExchangeCycle(InstrumentState& state, ExchangeBuffers& buffers, CommandMenu& menu,
                             Link& serialLink, AnswerView& view, CycleWindow& window,
                             QObject* parent)
    : QObject(parent), State_(state), Buffers_(buffers), Menu_(menu), SerialLink_(serialLink),
      View_(view), Window_(window) {
    SetUp(TimerPrd_, "TimerPrd", 1);
    SetUp(TimerPriem_, "TimerPriem", 1);
    SetUp(TimerQuery_, "TimerQuery", 0);
    SetUp(TimerReadADC_, "TimerReadADC", ReadAdcIntervalMs);
    SetUp(TimerPredelOn_, "TimerPredelOn", PredelOnIntervalMs);
    connect(&TimerPrd_, &QTimer::timeout, this, &ExchangeCycle::TimerPrdTimer);
    connect(&TimerPriem_, &QTimer::timeout, this, &ExchangeCycle::TimerPriemTimer);
    connect(&TimerQuery_, &QTimer::timeout, this, &ExchangeCycle::TimerQueryTimer);
    connect(&TimerReadADC_, &QTimer::timeout, this, &ExchangeCycle::TimerReadADCTimer);
    connect(&TimerPredelOn_, &QTimer::timeout, this, &ExchangeCycle::TimerPredelOnTimer);
    TimerPredelOn_.start();

    for (QAction* item : Menu_.Items()) {
        connect(item, &QAction::triggered, this, [this, item] { N00Click(item); });
    }
    connect(Menu_.N11, &QAction::triggered, this, &ExchangeCycle::N11Click);
    connect(Menu_.N12, &QAction::triggered, this, &ExchangeCycle::N12Click);
}

Link& ExchangeCycle::ActiveLink() {
    return Usb_ != nullptr ? *Usb_ : SerialLink_;
}

void ExchangeCycle::N00Click(QAction* item) {
    TimerQuery_.stop();
    TimerReadADC_.stop();
    if (State_.Transmitting != 0) {
        StopTransmit();
    }
    item->setChecked(true);
    State_.CommandCode = static_cast<uint8_t>(item->data().toInt());
    Window_.ShowCommand(item->text());
}

void ExchangeCycle::N11Click() {
    Menu_.N11->setEnabled(false);
    Menu_.N12->setEnabled(true);
    State_.Transmitting = 1;
    TimerPrd_.start();
    emit TransmitGiven(State_.CommandCode);
}

void ExchangeCycle::N12Click() {
    StopTransmit();
}

void ExchangeCycle::StopTransmit() {
    TimerQuery_.stop();
    TimerReadADC_.stop();
    if (Usb_ != nullptr) {
        Usb_->ResetDevice();
    }
    Menu_.N12->setEnabled(false);
    Menu_.N11->setEnabled(true);
    TimerPrd_.stop();
    TimerPriem_.stop();
    EncodeWaiting_ = false;
    ++Stops_;
    State_.Transmitting = 0;
}

void ExchangeCycle::TimerPrdTimer() {
    TimerPrd_.stop();
    if (ExchangeRunning_) {
        // A link that processes window messages while it waits (the USB receive) lets a new
        // command be given meanwhile; encoding it now would overwrite the packet still being
        // exchanged. It is encoded as soon as that exchange has ended.
        EncodeWaiting_ = true;
        return;
    }
    const EncoderInputs inputs = Window_.EncoderFields();
    if (!EncodeRequest(State_, inputs, Buffers_.TxFrame, Buffers_.TxPacket)) {
        return; // a code outside the command list sends nothing
    }
    if (State_.CommandCode == FunctionCode::SetParameters) {
        Window_.SetDeviceAddressField(inputs.NewAddress);
    }
    Window_.ShowSendLine(SendLine(Buffers_.TxPacket));
    TimerPriem_.start();
}

void ExchangeCycle::TimerPriemTimer() {
    TimerPriem_.stop();
    const bool busyCursor = State_.Mode != PanelMode::Measurement;
    if (busyCursor) {
        Window_.SetBusyCursor(true);
    }
    View_.SetAnswerText({});

    const uint8_t code = State_.CommandCode;
    const unsigned stopsBefore = Stops_;
    ExchangeRunning_ = true;
    bool accepted = false;
    bool stopped = false;
    bool lost = false;
    for (int attemptsLeft = 2; attemptsLeft > 0 && !accepted && !stopped; --attemptsLeft) {
        emit RequestSending(code);
        Link& link = ActiveLink();
        link.SendPacket(Buffers_.TxPacket);
        // A link whose device is gone (an unplugged adapter) has closed its port and reported
        // it once; nothing more is sent or received through it.
        lost = link.LinkLost();
        if (lost) {
            break;
        }
        const uint32_t status = link.ReceivePacket(Buffers_.RxPacket);
        Window_.ShowReceiveLine(ReceiveLine(Buffers_.RxPacket));
        lost = link.LinkLost();
        // A stop or another selection while the link waited: the answer belongs to a command
        // no longer selected (CommandCode may name another one now), so it is not looked at.
        stopped = Stops_ != stopsBefore;
        if (stopped || lost) {
            break;
        }
        const AnswerContext answer{.RxPacket = Buffers_.RxPacket,
                                   .TxFrame = Buffers_.TxFrame,
                                   .AccessoryMode = Window_.AccessoryMode()};
        if (ValidateAnswer(status, answer, State_, View_)) {
            ApplyReadValue(DecodeAnswer(answer, State_, View_).ReadValue);
            accepted = true;
        }
    }
    ExchangeRunning_ = false;
    if (lost) {
        StopTransmit(); // also keeps the polling off and drops a command given meanwhile
    }
    emit AnswerHandled(code, accepted);

    if (busyCursor) {
        Window_.SetBusyCursor(false);
    }
    TimerPriem_.stop();
    // After a stop the polling stays off; a selection's own exchange re-arms it.
    if (State_.Mode == PanelMode::Measurement && !stopped && !lost) {
        if (State_.KeepQueryInterval != 0) {
            State_.KeepQueryInterval = 0; // the measure or difference key chose a longer wait
        } else {
            TimerQuery_.setInterval(QueryIntervalMs);
        }
        TimerQuery_.start();
    }
    if (EncodeWaiting_) {
        EncodeWaiting_ = false;
        TimerPrd_.start();
    }
    if (lost) {
        emit LinkLost();
    }
}

void ExchangeCycle::ApplyReadValue(ReadValueAction action) {
    switch (action) {
    case ReadValueAction::Start:
        if (!TimerReadADC_.isActive()) { // enabling a running timer does not restart it
            TimerReadADC_.start();
        }
        break;
    case ReadValueAction::Stop:
        TimerReadADC_.stop();
        break;
    case ReadValueAction::Keep:
        break;
    }
}

void ExchangeCycle::TimerQueryTimer() {
    TimerQuery_.stop();
    Menu_.Issue(FunctionCode::ExchangeTest);
}

void ExchangeCycle::TimerReadADCTimer() {
    TimerReadADC_.stop();
    TimerQuery_.stop();
    Menu_.Issue(FunctionCode::MeasuredValue);
}

void ExchangeCycle::TimerPredelOnTimer() {
    TimerPredelOn_.stop();
    if (State_.OutputSetDone != 0) {
        State_.Mode = PanelMode::OutputOn;
        View_.PrintMode();
        State_.OutputSetDone = 0;
    } else {
        Window_.PressResetKey();
    }
}

void ExchangeCycle::SB_TestClick() {
    Menu_.Issue(FunctionCode::ExchangeTest);
}

void ExchangeCycle::SB_QueryStateClick() {
    // The waits run the event loop, in which the window may be closed and the cycle destroyed.
    const QPointer<ExchangeCycle> alive(this);
    Menu_.Issue(FunctionCode::ReadParameters);
    Delay(QueryStateStepMs);
    if (alive.isNull()) {
        return;
    }
    Menu_.Issue(FunctionCode::PollState);
    Delay(QueryStateStepMs);
    if (alive.isNull()) {
        return;
    }
    if (ShowsOutputValue(State_.Mode)) {
        Menu_.Issue(FunctionCode::ReadOutput);
    }
    // Every mode waits this last half second before the redraw, measurement too.
    Delay(QueryStateStepMs);
    if (alive.isNull()) {
        return;
    }
    View_.PrintMode();
}

void ExchangeCycle::Delay(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace vr410
