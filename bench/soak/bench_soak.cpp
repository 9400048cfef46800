// Soak of the program's main window on the virtual instrument: thousands of exchanges that mix
// measurement polling with every command of the instrument, a tenth of them hit by a fault on
// the line or answered with an instrument error. It checks that
//   - no exchange hangs: each ends within two attempts of the receive's 100 ms window (plus the
//     request's time on the line and a margin for a loaded machine);
//   - every faulted attempt ends refused with the text its fault calls for, never decoded (a lone
//     parity error on the address byte is the one fault the receive must read through);
//   - after every decoded answer the window's state agrees with the virtual instrument's;
//   - resident memory stays flat: the size after the run within 2 MB of the size after the first
//     1000 exchanges (a shorter run reports the growth after its first tenth; below 2000
//     exchanges it does not fail on it). The bytes held on the heap are reported beside it;
//     under AddressSanitizer they are judged instead, since the resident size there carries the
//     sanitizer's own caches.
// The exit status is 0 when all of these hold.
// The window runs on its own clock and the simulated line in real time, so every time limit of
// the exchange holds as on a real port.
//
//   bench_soak [--exchanges N] [--seed S] [--verbose] [--heap-profile]
//   (default 10000 exchanges, seed 1; --heap-profile prints the heap's blocks by the place that
//   allocated them at the end, under AddressSanitizer)
//
// The last line is the summary the reliability script reads:
//   soak_exchanges=S soak_hangs=H soak_wrong=W soak_rss_growth_kb=R
#include "common/process_memory.h"
#include "main_window_access.h"
#include "panel/keypad/output_entry_bar.h"
#include "platform/system_facilities.h"
#include "protocol/frame.h"
#include "protocol/function_codes.h"
#include "protocol/range_table.h"
#include "protocol/wire_constants.h"
#include "shell/command_menu.h"
#include "shell/form_main.h"
#include "sim/line_fault.h"
#include "sim/virtual_bus.h"
#include "sim/virtual_instrument.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Freed blocks wait in AddressSanitizer's quarantine (256 MB by default) before they are used
// again, which would read as growth; a small one keeps the resident size meaningful.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=1";
}
#endif

namespace {

using namespace vr410;
using bench::HeapKb;
using bench::ResidentKb;
using sim::LineFault;
using SteadyClock = std::chrono::steady_clock;

// Two attempts, each up to the receive's 100 ms first-byte window after a request of at most
// 17 characters (about 3 ms) and the two 1 ms waits of the send, plus a margin for a machine
// that builds while the soak runs.
constexpr double ExchangeLimitMs = 2 * (100 + 10) + 250;
// Nothing at all ended for this long: the cycle is stuck.
constexpr int StuckMs = 5000;
constexpr double FaultShare = 0.10;
constexpr int LateTurnaroundMs = 250;
// After a late or split answer: until its rest has landed.
constexpr int AnswerLeftGapMs = LateTurnaroundMs + 100;

const std::vector<LineFault> AllLineFaults{
    LineFault::NoAnswer,
    LineFault::LateAnswer,
    LineFault::CorruptBlock0Bit,
    LineFault::CorruptBlock1Bit,
    LineFault::CorruptBlock2Bit,
    LineFault::WrongSourceAddress,
    LineFault::WrongDestinationAddress,
    LineFault::WrongLength,
    LineFault::AddressOnly,
    LineFault::SplitAnswer,
    LineFault::FramingError,
    LineFault::OverrunError,
    LineFault::ParityErrorFirstByte,
    LineFault::RequestFlag,
    LineFault::TransferError,
    LineFault::WrongDeviceType,
    LineFault::WrongFunctionCode,
};

const char* FaultName(LineFault fault) {
    switch (fault) {
    case LineFault::NoAnswer:
        return "NoAnswer";
    case LineFault::LateAnswer:
        return "LateAnswer";
    case LineFault::CorruptBlock0Bit:
        return "CorruptBlock0Bit";
    case LineFault::CorruptBlock1Bit:
        return "CorruptBlock1Bit";
    case LineFault::CorruptBlock2Bit:
        return "CorruptBlock2Bit";
    case LineFault::WrongSourceAddress:
        return "WrongSourceAddress";
    case LineFault::WrongDestinationAddress:
        return "WrongDestinationAddress";
    case LineFault::WrongLength:
        return "WrongLength";
    case LineFault::AddressOnly:
        return "AddressOnly";
    case LineFault::SplitAnswer:
        return "SplitAnswer";
    case LineFault::FramingError:
        return "FramingError";
    case LineFault::OverrunError:
        return "OverrunError";
    case LineFault::ParityErrorFirstByte:
        return "ParityErrorFirstByte";
    case LineFault::RequestFlag:
        return "RequestFlag";
    case LineFault::TransferError:
        return "TransferError";
    case LineFault::WrongDeviceType:
        return "WrongDeviceType";
    case LineFault::WrongFunctionCode:
        return "WrongFunctionCode";
    }
    return "?";
}

// The answer label's text an attempt hit by `fault` must end with; nothing for the one fault
// the answer must be read through. `received` is what the attempt collected: a corrupted bit
// lands in the last block the answer has.
std::optional<std::string> ExpectedText(LineFault fault, const PacketRecord& received) {
    const std::string block0 = "Ошибка CRC 0-го блока!";
    const std::string block1 = "Ошибка CRC 1-го блока.";
    const std::string block2 = "Ошибка CRC 2-го блока.";
    switch (fault) {
    case LineFault::NoAnswer:
    case LineFault::LateAnswer:
        return "Нет ответа!";
    case LineFault::CorruptBlock0Bit:
        return block0;
    case LineFault::CorruptBlock1Bit:
        return received.BodyLength > 16 ? block1 : block0;
    case LineFault::CorruptBlock2Bit:
        return received.BodyLength > 32 ? block2 : received.BodyLength > 16 ? block1 : block0;
    case LineFault::WrongSourceAddress:
        return "Неверный адрес прибора!";
    case LineFault::WrongDestinationAddress:
        return "Неверный адрес ответа!";
    case LineFault::WrongLength:
    case LineFault::SplitAnswer:
        return "Неверная длина посылки.";
    case LineFault::AddressOnly:
        return "Нет 0-го блока!";
    case LineFault::FramingError: // with the parity error the address byte always raises
        return "Ошибка порта - 0Ch.";
    case LineFault::OverrunError:
        return "Ошибка порта - 06h.";
    case LineFault::ParityErrorFirstByte:
        return std::nullopt;
    case LineFault::RequestFlag:
        return "Посылка, а не ответ!";
    case LineFault::TransferError:
        return "Ошибка передачи!";
    case LineFault::WrongDeviceType:
        return "Неверный тип прибора!";
    case LineFault::WrongFunctionCode:
        return "Неверный код функции!";
    }
    return std::nullopt;
}

// The answer of a late or split attempt lands after the receive gave up on it; the next request
// must go out after it has landed, so that the send's purge takes it.
bool LeavesAnswerOnTheLine(LineFault fault) {
    return fault == LineFault::LateAnswer || fault == LineFault::SplitAnswer;
}

double Ms(SteadyClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// What one exchange was given: the faults queued for its attempts, in order, or the instrument
// error its request provokes.
struct Plan {
    std::vector<LineFault> Faults;
    std::optional<std::string> ErrorText; // both attempts refused with this instrument error
    // Attempts after a split answer meet the tail of its first half: their outcome is the line's,
    // not the fault's (a decoded one is still checked against the instrument).
    bool LaterAttemptsTainted = false;
};

class Soak {
  public:
    Soak(TFormMain& window, size_t exchanges, uint32_t seed, bool verbose)
        : Window_(window), Inside_{window}, Target_(exchanges), Random_(seed), Verbose_(verbose) {
        // Room for every duration from the start, so that the bench's own list does not count
        // as the window's growth.
        Durations_.reserve(exchanges);
        Bus().Faults().Clear();
        // Late and split answers well clear of the receive's 100 and 30 ms windows, even when a
        // busy machine starts a receive some milliseconds late.
        Bus().Timing().LateTurnaround = std::chrono::milliseconds(LateTurnaroundMs);
        Bus().Timing().SplitPause = std::chrono::milliseconds(100);
        // A long error list makes the parameters answer three blocks long, so a bit can be
        // corrupted in each block.
        Instrument().MutableState().ErrorList.assign(31, 0);
        for (size_t i = 0; i < 31; ++i) {
            Instrument().MutableState().ErrorList[i] = static_cast<uint8_t>(i + 1);
        }
        AnswerLabel_ = Window_.findChild<QLabel*>(QStringLiteral("LabelAnswer"));
        Inside_.Engine().Events().Subscribe([this](const engine::EngineEvent& e) { OnEvent(e); });
        Watchdog_.setInterval(500);
        QObject::connect(&Watchdog_, &QTimer::timeout, [this] { CheckStuck(); });
    }

    void Start() {
        LastProgress_ = SteadyClock::now();
        RunStart_ = LastProgress_;
        Watchdog_.start();
        Inside_.Dialogs().ParamAddressField = 1;
        EnterOutputPhase();
    }

    size_t Ended() const { return Ended_; }
    size_t Hangs() const { return Hangs_; }
    size_t Wrong() const { return Wrong_; }
    long RssAfterWarmUpKb() const { return RssWarm_; }
    long HeapAfterWarmUpKb() const { return HeapWarm_; }

    void Report() const {
        std::vector<double> sorted = Durations_;
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double q) {
            return sorted.empty() ? 0.0
                                  : sorted[std::min(sorted.size() - 1,
                                                    static_cast<size_t>(q * sorted.size()))];
        };
        const double wall = std::chrono::duration<double>(SteadyClock::now() - RunStart_).count();
        std::printf("exchanges=%zu faulted=%zu error_answers=%zu decoded=%zu checked_states=%zu "
                    "wall_s=%.1f\n",
                    Ended_, FaultedExchanges_, ErrorExchanges_, Decoded_, Checked_, wall);
        std::printf("exchange_ms: median=%.1f p99=%.1f max=%.1f limit=%.0f\n", at(0.5), at(0.99),
                    sorted.empty() ? 0.0 : sorted.back(), ExchangeLimitMs);
        std::printf("faults by kind:");
        for (LineFault fault : AllLineFaults) {
            std::printf(" %s=%zu", FaultName(fault), FaultCounts_[static_cast<size_t>(fault)]);
        }
        std::printf("\n");
    }

  private:
    enum class Phase { Output, Measurement };

    sim::VirtualBus& Bus() { return *Inside_.Bus(); }
    sim::VirtualInstrument& Instrument() { return *Inside_.Instrument(); }
    InstrumentState& State() { return Inside_.State(); }

    void Wrong(const std::string& what) {
        ++Wrong_;
        if (Verbose_ || Wrong_ <= 20) {
            std::printf("WRONG #%zu at exchange %zu: %s\n", Wrong_, Ended_ + 1, what.c_str());
        }
    }

    // A command as the window's keys give it: its item of the hidden menu, then "Передать".
    void Give(uint8_t code) {
        CommandMenu::Click(Inside_.Commands().Item(code));
        CommandMenu::Click(Inside_.Commands().N11);
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(Random_) < p; }

    // --- the operator -----------------------------------------------------------------------

    void EnterOutputPhase() {
        Phase_ = Phase::Output;
        StepsLeft_ = Pick(10, 30);
        State().Mode = PanelMode::OutputEntry;
        Give(FunctionCode::Reset);
    }

    void EnterMeasurement() {
        Phase_ = Phase::Measurement;
        StepsLeft_ = Pick(20, 60);
        State().Mode = PanelMode::Measurement;
        Give(FunctionCode::Measure);
    }

    // An output value the window lets the operator enter for a random row: digits within the
    // row's maximum and, on an AC row, not below its 1 % (the field raises a smaller value).
    void ChooseOutput() {
        const auto row = static_cast<uint8_t>(Pick(0, static_cast<int>(RangeCount) - 1));
        State().RangeIndex = row;
        const int32_t max = RangeTable[row].MaxDigits;
        const bool ac = IsAcRow(row);
        const int64_t limit = ac ? (max >= 10'000'000 ? max / 10 : max) : max;
        const int64_t lowest = ac ? 10000 : 0;
        int64_t value = std::uniform_int_distribution<int64_t>(lowest, limit)(Random_);
        char digits[9];
        if (ac) {
            std::snprintf(digits, sizeof digits, "%07lld0", static_cast<long long>(value));
        } else {
            std::snprintf(digits, sizeof digits, "%08lld", static_cast<long long>(value));
        }
        State().OutputDigits = digits;
        Inside_.Entry().SE_Freq()->setValue(Pick(45, 1000));
    }

    // Gives the next command of the phase (some of them with values chosen anew), or, unless
    // `mustGive`, lets the polling go on.
    void Step(bool mustGive) {
        if (Phase_ == Phase::Output) {
            if (--StepsLeft_ <= 0) {
                EnterMeasurement();
                return;
            }
            static const uint8_t codes[] = {FunctionCode::Reset,
                                            FunctionCode::ReadParameters,
                                            FunctionCode::SetParameters,
                                            FunctionCode::ExchangeTest,
                                            FunctionCode::Screen,
                                            FunctionCode::PollState,
                                            FunctionCode::SetOutput,
                                            FunctionCode::SetOutput,
                                            FunctionCode::ReadOutput,
                                            FunctionCode::CalibratorZero,
                                            FunctionCode::CancelZeroOrCalibration,
                                            FunctionCode::Calibrate,
                                            FunctionCode::UserCalibration};
            GiveWithValues(codes[Pick(0, std::size(codes) - 1)]);
            return;
        }
        if (--StepsLeft_ <= 0) {
            EnterOutputPhase();
            return;
        }
        // Mostly the polling's own exchanges; now and then a command in between.
        if (!mustGive && Chance(0.6)) {
            return;
        }
        static const uint8_t codes[] = {FunctionCode::ReadParameters,
                                        FunctionCode::ExchangeTest,
                                        FunctionCode::PollState,
                                        FunctionCode::VoltmeterZero,
                                        FunctionCode::VoltmeterControl,
                                        FunctionCode::VoltmeterControl,
                                        FunctionCode::CancelZeroOrCalibration,
                                        FunctionCode::UserCalibration,
                                        FunctionCode::Screen};
        GiveWithValues(codes[Pick(0, std::size(codes) - 1)]);
    }

    void GiveWithValues(uint8_t code) {
        InstrumentState& s = State();
        switch (code) {
        case FunctionCode::SetParameters:
            s.Sound = static_cast<uint8_t>(Pick(0, 1));
            s.Brightness = static_cast<uint8_t>(Pick(1, 8));
            s.TimeInd = static_cast<uint8_t>(Pick(0, 4));
            s.DigitalFilter = static_cast<uint8_t>(Pick(0, 3));
            s.NumDigits = static_cast<uint8_t>(Pick(0, 2));
            s.ViewMode = static_cast<uint8_t>(Pick(0, 2));
            s.MoveCursor = static_cast<uint8_t>(Pick(0, 1));
            s.Blanking = static_cast<uint8_t>(Pick(0, 1));
            Inside_.Dialogs().ParamAddressField = s.AddrDevice;
            break;
        case FunctionCode::Screen:
            s.ScreenOn = static_cast<uint8_t>(Pick(0, 1));
            break;
        case FunctionCode::SetOutput:
            ChooseOutput();
            break;
        case FunctionCode::CancelZeroOrCalibration:
            Inside_.Commands().SetCancelHint(QString::number(Pick(0, 2)));
            break;
        case FunctionCode::Calibrate:
            s.CalibrationKind = Pick(1, 3);
            break;
        case FunctionCode::UserCalibration: {
            char digits[9];
            std::snprintf(digits, sizeof digits, "%08d", Pick(0, 99'999'999));
            s.CalibrationDigits = digits;
            break;
        }
        case FunctionCode::VoltmeterControl:
            s.VoltmeterRange = static_cast<uint8_t>(Pick(0, 4));
            s.VoltmeterInput = static_cast<uint8_t>(Pick(0, 1));
            s.VoltmeterAuto = static_cast<uint8_t>(Pick(0, 1));
            s.VoltmeterDelta = static_cast<uint8_t>(Chance(0.2) ? 1 : 0);
            s.VoltmeterPercent = static_cast<uint8_t>(Chance(0.2) ? 1 : 0);
            break;
        default:
            break;
        }
        Give(code);
    }

    // A request the instrument refuses with an error answer, in the mode the window is in.
    void GiveRefusedRequest() {
        if (Phase_ == Phase::Measurement) {
            Next_.ErrorText = "Прибор находится в другом режиме!";
            Give(FunctionCode::SetOutput);
        } else if (Chance(0.5)) {
            Next_.ErrorText = "Допустимый адрес от 0 до 240";
            Inside_.Dialogs().ParamAddressField = HighestInstrumentAddress + 1;
            Give(FunctionCode::SetParameters); // the encoder reads the field on its tick
        } else {
            // A DC row's value above its maximum.
            Next_.ErrorText = "Недопустимое значение в устанавливаемом значении";
            State().RangeIndex = 2;
            State().OutputDigits = "99999999";
            Give(FunctionCode::SetOutput);
        }
    }

    // After an exchange: decides whether the next one is hit and gives the next step, at once or
    // once a late answer has landed.
    void AfterExchange(bool answerLeftOnLine) {
        Next_ = Plan{};
        if (Ended_ >= Target_) {
            Finish();
            return;
        }
        bool refused = false;
        if (Chance(FaultShare)) {
            // One kind more than the line has: the instrument's own error answer.
            const int kind = Pick(0, static_cast<int>(AllLineFaults.size()));
            if (kind == static_cast<int>(AllLineFaults.size())) {
                refused = true;
            } else {
                const LineFault fault = AllLineFaults[static_cast<size_t>(kind)];
                Next_.Faults.push_back(fault);
                // Both attempts hit now and then, so that the exchange fails as a whole; a fault
                // whose answer lands later, or that the receive reads through, hits one attempt.
                if (!LeavesAnswerOnTheLine(fault) && fault != LineFault::ParityErrorFirstByte &&
                    Chance(0.5)) {
                    Next_.Faults.push_back(fault);
                }
                Next_.LaterAttemptsTainted = fault == LineFault::SplitAnswer;
            }
        }
        // An answer left on the line: the operator stops the polling and waits until it has
        // landed, so that the next request's purge takes it; then a command is given, which in
        // measurement starts the polling again.
        if (answerLeftOnLine) {
            CommandMenu::Click(Inside_.Commands().N12);
        }
        const int gapMs = answerLeftOnLine ? AnswerLeftGapMs : 5;
        QTimer::singleShot(gapMs, Qt::PreciseTimer, &Window_, [this, refused, answerLeftOnLine] {
            if (refused) {
                GiveRefusedRequest();
            } else {
                Step(answerLeftOnLine);
            }
        });
    }

    void Finish() {
        if (Finished_) {
            return;
        }
        Finished_ = true;
        Watchdog_.stop();
        CommandMenu::Click(Inside_.Commands().N12);
        QTimer::singleShot(50, qApp, &QCoreApplication::quit);
    }

    void CheckStuck() {
        if (Finished_ || Ms(SteadyClock::now() - LastProgress_) < StuckMs) {
            return;
        }
        ++Hangs_;
        std::printf("HANG: no exchange ended for %d ms (state %s)\n", StuckMs,
                    std::string(engine::StateName(Inside_.Engine().State())).c_str());
        Bus().Faults().Clear();
        LastProgress_ = SteadyClock::now();
        CommandMenu::Click(Inside_.Commands().N12);
        AfterExchange(false);
    }

    // --- what the engine reports ------------------------------------------------------------

    void OnEvent(const engine::EngineEvent& event) {
        using namespace engine;
        if (const auto* encoded = std::get_if<RequestEncoded>(&event)) {
            // The plan goes with the request that is sent next; its faults wait on the bus.
            Current_ = Next_;
            Next_ = Plan{};
            Sent_ = encoded->Packet;
            for (LineFault fault : Current_.Faults) {
                Bus().Faults().Queue(fault);
            }
        } else if (const auto* changed = std::get_if<StateChanged>(&event)) {
            if (changed->To == CycleState::Exchanging) {
                ExchangeStart_ = SteadyClock::now();
            }
        } else if (const auto* attempt = std::get_if<AttemptFinished>(&event)) {
            CheckAttempt(*attempt);
        } else if (const auto* decoded = std::get_if<AnswerDecoded>(&event)) {
            ++Decoded_;
            CheckState(decoded->Code);
        } else if (const auto* ended = std::get_if<ExchangeEnded>(&event)) {
            OnExchangeEnded(*ended);
        } else if (std::holds_alternative<LinkLost>(event)) {
            Wrong("the link was lost");
        }
    }

    void CheckAttempt(const engine::AttemptFinished& attempt) {
        using engine::AttemptResult;
        LastOutcome_ = attempt.Outcome;
        const size_t index = static_cast<size_t>(attempt.Attempt - 1);
        std::optional<std::string> expected;
        bool judged = true;
        std::string cause = "clean";
        if (Current_.ErrorText) {
            expected = Current_.ErrorText;
            cause = "instrument error";
        } else if (index < Current_.Faults.size()) {
            const LineFault fault = Current_.Faults[index];
            expected = ExpectedText(fault, attempt.Received);
            cause = FaultName(fault);
        } else if (index > 0 && Current_.LaterAttemptsTainted) {
            judged = false;
        } else if (!Current_.Faults.empty()) {
            cause = std::string("clean, after ") + FaultName(Current_.Faults.front());
        }
        if (!judged) {
            return;
        }
        const bool accepted = attempt.Result == AttemptResult::Accepted;
        if (expected && (accepted || attempt.Outcome != *expected)) {
            Wrong("code " + std::to_string(attempt.Code) + " attempt " +
                  std::to_string(attempt.Attempt) + " (" + cause + "): expected \"" + *expected +
                  "\", got " + (accepted ? "a decoded answer" : "\"" + attempt.Outcome + "\"") +
                  "; received " + ReceiveLine(attempt.Received));
        } else if (!expected && !accepted) {
            Wrong("code " + std::to_string(attempt.Code) + " attempt " +
                  std::to_string(attempt.Attempt) + " (" + cause + "): refused with \"" +
                  attempt.Outcome + "\"; received " + ReceiveLine(attempt.Received));
        }
    }

    void OnExchangeEnded(const engine::ExchangeEnded& ended) {
        ++Ended_;
        LastProgress_ = SteadyClock::now();
        const double ms = Ms(LastProgress_ - ExchangeStart_);
        Durations_.push_back(ms);
        if (ms > ExchangeLimitMs) {
            ++Hangs_;
            std::printf("HANG: exchange %zu (code %d) took %.1f ms\n", Ended_, ended.Code, ms);
        }
        if (!Current_.Faults.empty()) {
            ++FaultedExchanges_;
            ++FaultCounts_[static_cast<size_t>(Current_.Faults.front())];
        }
        if (Current_.ErrorText) {
            ++ErrorExchanges_;
        }
        // A failed exchange leaves its last attempt's text in the answer label.
        if (!ended.Accepted && AnswerLabel_ != nullptr &&
            AnswerLabel_->text().toStdString() != LastOutcome_) {
            Wrong("the answer label reads \"" + AnswerLabel_->text().toStdString() +
                  "\" after a failed exchange that ended with \"" + LastOutcome_ + "\"");
        }
        if (Bus().Faults().QueuedCount() != 0) {
            Wrong("a fault queued for this exchange was left over");
            Bus().Faults().Clear();
        }
        if (Ended_ == WarmUp()) {
            RssWarm_ = ResidentKb();
            HeapWarm_ = HeapKb();
        }
        if (Ended_ % 1000 == 0) {
            std::printf("progress: exchanges=%zu rss_kb=%ld heap_kb=%ld\n", Ended_, ResidentKb(),
                        HeapKb());
        }
        bool answerLeft = false;
        for (LineFault fault : Current_.Faults) {
            answerLeft = answerLeft || LeavesAnswerOnTheLine(fault);
        }
        Current_ = Plan{};
        AfterExchange(answerLeft);
    }

    size_t WarmUp() const { return std::min<size_t>(1000, std::max<size_t>(Target_ / 10, 1)); }

    // The window's state after a decoded answer against the instrument that gave it.
    void CheckState(uint8_t code) {
        const sim::VirtualInstrumentState& in = Instrument().State();
        const InstrumentState& pc = State();
        const sim::VoltmeterSettings& vm = Instrument().Voltmeter().Settings();
        const uint8_t sent4 = MessageByte(Sent_, 4);
        const uint8_t sent5 = MessageByte(Sent_, 5);
        std::string digits;
        for (uint8_t d : in.OutputDigits) {
            digits += static_cast<char>('0' + d);
        }
        // On an AC row the window keeps the seven digits the row shows; the eighth is 0.
        std::string shown = pc.OutputDigits;
        shown.resize(std::max<size_t>(shown.size(), 8), '0');
        const bool measuring = in.Mode == PanelMode::Measurement;
        std::vector<std::pair<const char*, bool>> checks;
        switch (code) {
        case FunctionCode::Reset:
            checks = {{"reset: output off", !in.OutputLive && in.Mode == PanelMode::OutputEntry}};
            break;
        case FunctionCode::ReadParameters:
            checks = {{"sound", pc.Sound == (in.ParamA & 1)},
                      {"brightness", pc.Brightness == ((in.ParamA >> 1) & 7) + 1},
                      {"indication time", pc.TimeInd == ((in.ParamA >> 4) & 7)},
                      {"digital filter", pc.DigitalFilter == (in.ParamB & 3)},
                      {"digits", pc.NumDigits == ((in.ParamB >> 2) & 3)},
                      {"view", pc.ViewMode == ((in.ParamB >> 4) & 3)},
                      {"cursor", pc.MoveCursor == ((in.ParamB >> 6) & 1)},
                      {"blanking", pc.Blanking == ((in.ParamB >> 7) & 1)},
                      {"user calibration", (pc.CoefCalibr != 0) == in.CoefCalibr},
                      {"compensation", (pc.CoefComp != 0) == in.CoefComp}};
            break;
        case FunctionCode::SetParameters:
            checks = {{"parameters written", in.ParamA == sent4 && in.ParamB == sent5},
                      {"address kept", in.Address == pc.AddrDevice}};
            break;
        case FunctionCode::Screen:
            checks = {{"screen", in.ScreenOn == (pc.ScreenOn != 0)}};
            break;
        case FunctionCode::PollState:
            checks = {{"screen", in.ScreenOn == (pc.ScreenOn != 0)},
                      {"calibrator zero", in.OkCalibr == (pc.OkCalibr != 0)},
                      {"input 1 zero", in.OkInput1 == (pc.OkInput1 != 0)},
                      {"input 2 zero", in.OkInput2 == (pc.OkInput2 != 0)},
                      {"input", vm.Input == pc.VoltmeterInput},
                      {"auto", vm.Auto == (pc.VoltmeterAuto != 0)},
                      {"delta", vm.Delta == (pc.VoltmeterDelta != 0)},
                      {"percent", vm.Percent == (pc.VoltmeterPercent != 0)}};
            break;
        case FunctionCode::SetOutput:
            // What the operator sees is what the calibrator drives.
            checks = {{"output live", in.OutputLive},
                      {"output row", in.RangeIndex == pc.RangeIndex},
                      {"output digits", digits == shown}};
            break;
        case FunctionCode::ReadOutput:
            checks = {{"output row", in.RangeIndex == pc.RangeIndex},
                      {"output digits", digits == shown},
                      {"frequency", !IsAcRow(in.RangeIndex) ||
                                        Inside_.Entry().SE_Freq()->value() == in.Frequency}};
            break;
        case FunctionCode::CalibratorZero:
            checks = {{"calibrator zero", in.OkCalibr}};
            break;
        case FunctionCode::Measure:
            checks = {{"measuring", measuring}};
            break;
        case FunctionCode::MeasuredValue: {
            const sim::VoltmeterReading& r = Instrument().Voltmeter().Last();
            const bool overloadShown = (r.Status & VoltmeterOverloadBit) != 0 && pc.OverloadShown;
            const int64_t magnitude = r.Value < 0 ? -static_cast<int64_t>(r.Value) : r.Value;
            checks = {
                {"reading", overloadShown || magnitude == pc.MeasuredValue},
                {"delta", overloadShown || (pc.VoltmeterDelta != 0) == ((r.Status & 0x10) != 0)},
                {"percent",
                 overloadShown || (pc.VoltmeterPercent != 0) == ((r.Status & 0x40) != 0)}};
            break;
        }
        case FunctionCode::VoltmeterZero:
            checks = {{"input zero", vm.Input == 0 ? in.OkInput1 : in.OkInput2}};
            break;
        case FunctionCode::VoltmeterControl: {
            // A difference or a percentage switches automatic ranging off.
            const bool fixed = (sent4 & VoltmeterAutoBit) == 0 || (sent4 & VoltmeterDeltaBit) ||
                               (sent4 & VoltmeterPercentBit);
            checks = {{"input", vm.Input == ((sent4 & VoltmeterInputBit) ? 1 : 0)},
                      {"auto", vm.Auto == !fixed},
                      {"delta", vm.Delta == ((sent4 & VoltmeterDeltaBit) != 0)},
                      {"percent", vm.Percent == ((sent4 & VoltmeterPercentBit) != 0)},
                      {"range", !fixed || vm.Range == (sent4 & VoltmeterRangeMask)}};
            break;
        }
        case FunctionCode::CancelZeroOrCalibration:
            if (sent4 == 1) {
                checks = {{"zero cancelled", measuring
                                                 ? !(vm.Input == 0 ? in.OkInput1 : in.OkInput2)
                                                 : !in.OkCalibr}};
            } else if (sent4 == 2) {
                checks = {
                    {"user calibration cancelled", measuring ? !in.CoefComp : !in.CoefCalibr}};
            }
            break;
        case FunctionCode::Calibrate:
            checks = {{"calibration kind", in.LastCalibrationKind == sent4}};
            break;
        case FunctionCode::UserCalibration:
            checks = {{"user calibration on", measuring ? in.CoefComp : in.CoefCalibr}};
            break;
        default:
            break;
        }
        ++Checked_;
        for (const auto& [what, holds] : checks) {
            if (!holds) {
                Wrong("after a decoded answer to code " + std::to_string(code) +
                      " the window and the instrument differ: " + what + " (window: row " +
                      std::to_string(pc.RangeIndex) + " digits " + pc.OutputDigits +
                      "; instrument: row " + std::to_string(in.RangeIndex) + " digits " + digits +
                      ")");
            }
        }
    }

    TFormMain& Window_;
    test::MainWindowAccess Inside_;
    size_t Target_;
    std::mt19937 Random_;
    bool Verbose_;
    QLabel* AnswerLabel_ = nullptr;
    QTimer Watchdog_;

    Phase Phase_ = Phase::Output;
    int StepsLeft_ = 0;
    Plan Next_;
    Plan Current_;
    PacketRecord Sent_;
    std::string LastOutcome_;
    bool Finished_ = false;

    SteadyClock::time_point RunStart_{};
    SteadyClock::time_point ExchangeStart_{};
    SteadyClock::time_point LastProgress_{};
    std::vector<double> Durations_;
    size_t Ended_ = 0;
    size_t Hangs_ = 0;
    size_t Wrong_ = 0;
    size_t Decoded_ = 0;
    size_t Checked_ = 0;
    size_t FaultedExchanges_ = 0;
    size_t ErrorExchanges_ = 0;
    size_t FaultCounts_[32] = {};
    long RssWarm_ = 0;
    long HeapWarm_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    size_t exchanges = 10000;
    uint32_t seed = 1;
    bool verbose = false;
    bool heapProfile = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exchanges") == 0 && i + 1 < argc) {
            exchanges = std::strtoul(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--heap-profile") == 0) {
            heapProfile = true;
        } else {
            std::fprintf(stderr, "usage: bench_soak [--exchanges N] [--seed S] [--verbose] "
                                 "[--heap-profile]\n");
            return 2;
        }
    }
    if (exchanges == 0) {
        std::fprintf(stderr, "bench_soak: --exchanges must be at least 1\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QApplication app(argc, argv);
    QTemporaryDir dir;

    StartOptions options;
    options.Line = MakeVirtualLine();
    options.SettingsPath = dir.filePath(QStringLiteral("VR410.ini")).toStdString();
    options.Facilities = std::make_unique<RecordingSystemFacilities>();
    auto* facilities = static_cast<RecordingSystemFacilities*>(options.Facilities.get());
    TFormMain window(std::move(options));
    window.show();

    test::MainWindowAccess inside{window};
    if (inside.PortStatus() != "готов") {
        std::fprintf(stderr, "bench_soak: the virtual port did not open (%s)\n",
                     inside.PortStatus().c_str());
        return 1;
    }
    Soak soak(window, exchanges, seed, verbose);
    QTimer::singleShot(0, &window, [&] { soak.Start(); });
    app.exec();

    soak.Report();
    if (heapProfile) {
        bench::PrintHeapProfile();
    }
    const long rssEnd = ResidentKb();
    const long growth = soak.RssAfterWarmUpKb() > 0 ? rssEnd - soak.RssAfterWarmUpKb() : 0;
    std::printf("rss_kb: after_warm_up=%ld end=%ld heap_kb: after_warm_up=%ld end=%ld "
                "message_boxes=%zu\n",
                soak.RssAfterWarmUpKb(), rssEnd, soak.HeapAfterWarmUpKb(), HeapKb(),
                facilities->Messages.size());
    std::printf("soak_exchanges=%zu soak_hangs=%zu soak_wrong=%zu soak_rss_growth_kb=%ld\n",
                soak.Ended(), soak.Hangs(), soak.Wrong(), growth);
    // Memory is judged on a run long enough to have settled: 1000 exchanges and as many more.
    // Under the sanitizer the resident size also holds its shadow memory and its allocator's
    // caches, which grow with the heap's churn: there the bytes held on the heap are judged.
    const long judged =
        bench::UnderAddressSanitizer() ? HeapKb() - soak.HeapAfterWarmUpKb() : growth;
    const bool memoryFlat = exchanges < 2000 || judged <= 2048;
    return soak.Hangs() == 0 && soak.Wrong() == 0 && memoryFlat ? 0 : 1;
}
