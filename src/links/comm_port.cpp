#include "links/comm_port.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace vr410 {

namespace {

// Message box texts.
constexpr const char* TextTimeoutsNotSet = "Не установлен тайм-аут";
constexpr const char* TextQueuesNotSet = "Не задан размер буферов";
constexpr const char* TextPortNotConfigured = "Порт не настроен";
constexpr const char* TextMaskNotRead = "Ошибка чтения маски";
constexpr const char* TextMaskNotWritten = "Ошибка записи маски";
constexpr const char* TextRtsNotSet = "Ошибка установки RTS";
constexpr const char* TextTransmitError = "Ошибка передачи";
constexpr const char* TextWaitError = "Ошибка ожидания";
constexpr const char* TextSpaceNotSet = "Не установлен Пробел (0)";
constexpr const char* TextRtsNotCleared = "Ошибка сброса RST";
constexpr const char* TextStatusNotRead = "Ошибка чтения статуса";
constexpr const char* TextReceiveError = "Ошибка приема";
constexpr const char* TextMarkNotSet = "Не установлен Маркер (1)";

// The line: 57600 baud, 8 data bits, one stop bit, the ninth bit in the parity position.
constexpr uint32_t BaudRate = 57600;
constexpr uint32_t InputQueueBytes = 1600;
constexpr uint32_t OutputQueueBytes = 0;
constexpr uint32_t ReadIntervalMs = 1;
// Between the transmit-empty event and the next change of the line.
constexpr uint32_t SettleMs = 1;

void ConfigureLine(LineSettings& s) {
    s.BaudRate = BaudRate;
    s.DataBits = 8;
    s.StopBits = 1;
    s.Parity = ParityMode::Mark;
    s.Binary = true;
    s.ParityCheck = false; // received parity errors only show in the error flags
    s.DtrEnable = true;
    s.RtsManual = true;
    s.OutxCtsFlow = false;
    s.OutxDsrFlow = false;
    s.DsrSensitivity = false;
    s.TxContinueOnXoff = false;
    s.OutX = false;
    s.InX = false;
    s.ErrorChar = false;
    s.Null = false;
    s.AbortOnError = false;
}

} // namespace

CommPort::CommPort(SerialApi& api, SystemFacilities& system) : Api_(api), System_(system) {}

CommPort::~CommPort() = default;

void CommPort::SetStatus(LinkStatus status) {
    Status_ = status;
    StatusText_ = LinkStatusText(status);
}

void CommPort::Message(const char* text) {
    System_.ShowMessage(text, MessageKind::Plain);
}

bool CommPort::GiveUpIfLost(const char* text) {
    if (Port_ == nullptr || !Port_->Lost()) {
        return false;
    }
    // Closing at once lets the adapter, plugged in again, come back under its old name.
    Port_.reset();
    SetStatus(LinkStatus::Absent);
    Lost_ = true;
    Message(text);
    return true;
}

bool CommPort::OpenComPort(uint8_t number) {
    Port_.reset();
    Lost_ = false;

    OpenError error;
    Port_ = Api_.Open(Api_.PortDeviceName(number), error);
    if (!Port_) {
        switch (error.Kind) {
        case OpenFailure::NotFound:
            SetStatus(LinkStatus::Absent);
            break;
        case OpenFailure::AccessDenied:
            SetStatus(LinkStatus::Busy);
            break;
        default:
            SetStatus(LinkStatus::FromOsError(error.Code));
            break;
        }
        return false;
    }

    // A port that is open but not configured cannot carry an exchange; its status must not keep
    // the "готов" of the port open before it.
    auto configurationFailed = [this](const char* text) {
        Message(text);
        SetStatus(LinkStatus::NotConfigured);
        return false;
    };

    CommTimeouts timeouts;
    if (!Port_->GetTimeouts(timeouts)) {
        return configurationFailed(TextTimeoutsNotSet);
    }
    timeouts.ReadIntervalTimeout = ReadIntervalMs;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    if (!Port_->SetTimeouts(timeouts)) {
        return configurationFailed(TextTimeoutsNotSet);
    }

    if (!Port_->SetupQueues(InputQueueBytes, OutputQueueBytes)) {
        return configurationFailed(TextQueuesNotSet);
    }

    if (!Port_->GetState(PortSettings_)) {
        return configurationFailed(TextPortNotConfigured);
    }
    ConfigureLine(PortSettings_);
    if (!Port_->SetState(PortSettings_)) {
        return configurationFailed(TextPortNotConfigured);
    }
    // A driver without stick parity takes MARK as odd parity without complaint; every exchange
    // would then end without an answer while the status read "готов".
    LineSettings readBack;
    if (!Port_->GetState(readBack)) {
        return configurationFailed(TextPortNotConfigured);
    }
    if (readBack.Parity != ParityMode::Mark) {
        configurationFailed(TextPortNotConfigured);
        SetStatus(LinkStatus::NoMarkSpace);
        return false;
    }

    uint32_t mask = 0;
    if (!Port_->GetEventMask(mask)) {
        return configurationFailed(TextMaskNotRead);
    }
    if (!Port_->SetEventMask(mask | EV_TXEMPTY)) {
        return configurationFailed(TextMaskNotWritten);
    }

    if (!Port_->SetRts(true)) {
        Message(TextRtsNotSet);
    }
    SetStatus(LinkStatus::Ready);
    return true;
}

void CommPort::ComSendPacket(const PacketRecord& TxPacket) {
    if (Lost_) {
        return; // the loss has been reported once
    }
    SerialPort* port = Port_.get();
    if (port != nullptr) {
        port->Purge(PURGE_RXABORT | PURGE_RXCLEAR);
        // Between exchanges the line is in MARK parity with RTS raised: the address byte needs
        // no preparation.
        port->GetState(PortSettings_);
        if (GiveUpIfLost(TextTransmitError)) {
            return;
        }
    }

    // Every failure ends the send with its box; a failure because the device is gone closes the
    // port as well.
    auto failed = [this](const char* text) {
        if (!GiveUpIfLost(text)) {
            Message(text);
        }
    };
    size_t written = 0;
    if (port == nullptr || !port->Write(&TxPacket.Head[0], 1, written) || written != 1) {
        failed(TextTransmitError);
        return;
    }
    uint32_t event = 0;
    if (!port->WaitEvent(event)) {
        failed(TextWaitError);
        return;
    }
    Api_.Sleep(SettleMs);

    PortSettings_.Parity = ParityMode::Space;
    if (!port->SetState(PortSettings_)) {
        failed(TextSpaceNotSet);
        return;
    }
    if (!port->SetRts(true)) {
        failed(TextRtsNotSet);
        if (Lost_) {
            return;
        }
    }
    port->GetState(PortSettings_);

    const size_t bodyLength = std::min<size_t>(TxPacket.BodyLength, PacketCapacity);
    if (!port->Write(TxPacket.Body.data(), bodyLength, written) || written != bodyLength) {
        failed(TextTransmitError);
        return;
    }
    if (!port->WaitEvent(event)) {
        failed(TextWaitError);
        return;
    }
    Api_.Sleep(SettleMs);

    // The converter turns to receive.
    if (!port->SetRts(false)) {
        failed(TextRtsNotCleared);
    }
}

void CommPort::RestoreLineQuietly() {
    if (Port_ == nullptr) {
        return;
    }
    PortSettings_.Parity = ParityMode::Mark;
    Port_->SetState(PortSettings_);
    Port_->SetRts(true);
}

void CommPort::DiscardRestOfAnswer() {
    SerialPort* port = Port_.get();
    if (port == nullptr) {
        return;
    }
    using std::chrono::steady_clock;
    const auto entry = steady_clock::now();
    const auto giveUp = entry + std::chrono::milliseconds(AnswerLimitMs);
    auto lastByte = entry;
    for (;;) {
        uint32_t errors = 0;
        uint32_t waiting = 0;
        if (!port->ClearError(errors, waiting)) {
            return;
        }
        if (waiting != 0) {
            std::array<uint8_t, 64> dropped{};
            size_t read = 0;
            if (!port->Read(dropped.data(), std::min<size_t>(waiting, dropped.size()), read)) {
                return;
            }
            lastByte = steady_clock::now();
            continue;
        }
        const auto quietEnd = lastByte + std::chrono::milliseconds(QuietMs);
        const auto now = steady_clock::now();
        if (now >= quietEnd || now >= giveUp) {
            return;
        }
        port->WaitForInput(std::min(quietEnd, giveUp));
    }
}

uint32_t CommPort::ComReceivePacket(uint16_t headLength, PacketRecord& RxPacket) {
    RxPacket = PacketRecord{}; // no byte of an earlier answer stays behind a shorter one
    bool headSeen = false;
    const uint32_t t0 = Api_.TickCount();
    const auto start = std::chrono::steady_clock::now();
    size_t bodyReceived = 0; // every body byte that came, stored or not
    SerialPort* port = Port_.get();
    if (Lost_) {
        return 0; // nothing can come, and the loss has been reported once
    }
    // A failed call ends the receive with its box; a failure because the device is gone closes
    // the port as well, and nothing is left to restore.
    auto failed = [this](const char* text) {
        if (!GiveUpIfLost(text)) {
            Message(text);
            RestoreLineQuietly();
        }
        return 0u;
    };

    for (;;) {
        uint32_t errors = 0;
        uint32_t waiting = 0;
        if (port == nullptr || !port->ClearError(errors, waiting)) {
            return failed(TextStatusNotRead);
        }
        // The answer's address byte carries the ninth bit while the line is set for SPACE: a
        // lone parity error is expected.
        if (errors != 0 && errors != CE_RXPARITY) {
            DiscardRestOfAnswer();
            RestoreLineQuietly();
            return errors;
        }

        if (waiting == 0) {
            const uint32_t limit = headSeen ? AnswerLimitMs : FirstByteLimitMs;
            if (Api_.TickCount() - t0 > limit) {
                break;
            }
            // Instead of polling again at once, sleep on the port until a byte or an error
            // comes, or until the limit has passed ("more than" the limit: one more ms).
            auto deadline = start + std::chrono::milliseconds(limit + 1);
            const auto now = std::chrono::steady_clock::now();
            if (deadline <= now) {
                deadline = now + std::chrono::milliseconds(1); // the tick count lags the clock
            }
            port->WaitForInput(deadline);
            continue;
        }

        if (!headSeen) {
            const size_t want = std::min<size_t>(headLength, PacketCapacity);
            size_t read = 0;
            if (!port->Read(RxPacket.Head.data(), want, read)) {
                return failed(TextReceiveError);
            }
            RxPacket.HeadLength = static_cast<uint8_t>(read);
            waiting -= static_cast<uint32_t>(std::min<size_t>(read, waiting));
            headSeen = true;
        }

        if (headSeen && waiting != 0) {
            // Bytes past the record's 41 are read and dropped, but counted, so that an over-long
            // answer fails its length check instead of passing as a truncated one.
            size_t stored = std::min(bodyReceived, PacketCapacity);
            while (waiting != 0) {
                std::array<uint8_t, 64> overflow{};
                const size_t room = PacketCapacity - stored;
                uint8_t* into = room > 0 ? RxPacket.Body.data() + stored : overflow.data();
                const size_t want = std::min<size_t>(waiting, room > 0 ? room : overflow.size());
                size_t read = 0;
                if (!port->Read(into, want, read)) {
                    return failed(TextReceiveError);
                }
                if (read == 0) {
                    break; // the status query promised more than there was
                }
                bodyReceived += read;
                stored = std::min(bodyReceived, PacketCapacity);
                waiting -= static_cast<uint32_t>(read);
            }
            RxPacket.BodyLength = static_cast<uint8_t>(std::min<size_t>(bodyReceived, 255));
        }
    }

    PortSettings_.Parity = ParityMode::Mark;
    if (!port->SetState(PortSettings_)) {
        if (!GiveUpIfLost(TextMarkNotSet)) {
            Message(TextMarkNotSet);
            port->SetRts(true); // still give the converter back to the PC
        }
        return 0;
    }
    if (!port->SetRts(true) && !GiveUpIfLost(TextRtsNotSet)) {
        Message(TextRtsNotSet);
    }
    return 0;
}

} // namespace vr410
