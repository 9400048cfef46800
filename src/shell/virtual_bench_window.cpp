#include "shell/virtual_bench_window.h"

#include "platform/ftdi_simulated.h"
#include "sim/virtual_bus.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace vr410 {

namespace {

using sim::LineFault;

QString AdapterStateText(const SimulatedAdapter& adapter) {
    if (!adapter.Plugged)
        return QStringLiteral("отключен");
    return adapter.Open ? QStringLiteral("подключен, открыт") : QStringLiteral("подключен");
}

QString PlugCaption(bool plugged) {
    return plugged ? QStringLiteral("Отключить") : QStringLiteral("Подключить");
}

} // namespace

QPoint BenchPlacement(const QRect& owner, const QSize& size, const QRect& available) {
    constexpr int Gap = 8;
    const auto fits = [&](const QPoint& at) { return available.contains(QRect(at, size)); };
    const QPoint candidates[] = {
        {owner.right() + 1 + Gap, owner.top()},
        {owner.left() - Gap - size.width(), owner.top()},
        {owner.right() + 1 - size.width(), owner.bottom() + 1 + Gap},
    };
    for (const QPoint& at : candidates) {
        if (fits(at)) {
            return at;
        }
    }
    // Nowhere free: inside the screen, as near its bottom right as the window's size allows.
    return {std::max(available.left(), available.right() + 1 - size.width()),
            std::max(available.top(), available.bottom() + 1 - size.height())};
}

const std::vector<BenchFault>& BenchFaults() {
    static const std::vector<BenchFault> faults = {
        {.Fault = LineFault::NoAnswer, .Caption = "Нет ответа"},
        {.Fault = LineFault::LateAnswer, .Caption = "Поздний ответ (150 мс)"},
        {.Fault = LineFault::SplitAnswer, .Caption = "Ответ с паузой 40 мс внутри"},
        {.Fault = LineFault::AddressOnly, .Caption = "Только адресный байт"},
        {.Fault = LineFault::CorruptBlock0Bit, .Caption = "Искажён бит в блоке 0"},
        {.Fault = LineFault::CorruptBlock1Bit, .Caption = "Искажён бит в блоке 1"},
        {.Fault = LineFault::CorruptBlock2Bit, .Caption = "Искажён бит в блоке 2"},
        {.Fault = LineFault::WrongDestinationAddress, .Caption = "Ответ другому ПК"},
        {.Fault = LineFault::WrongSourceAddress, .Caption = "Ответ от другого прибора"},
        {.Fault = LineFault::WrongLength, .Caption = "Неверная длина"},
        {.Fault = LineFault::FramingError, .Caption = "Ошибка кадра (COM-порт)"},
        {.Fault = LineFault::OverrunError, .Caption = "Переполнение приёмника (COM-порт)"},
        {.Fault = LineFault::ParityErrorFirstByte, .Caption = "Ошибка чётности (COM-порт)"},
        {.Fault = LineFault::RequestFlag, .Caption = "Признак запроса в ответе"},
        {.Fault = LineFault::TransferError, .Caption = "Признак ошибки передачи"},
        {.Fault = LineFault::WrongDeviceType, .Caption = "Другой тип устройства"},
        {.Fault = LineFault::WrongFunctionCode, .Caption = "Другой код функции"},
    };
    return faults;
}

VirtualBenchWindow::VirtualBenchWindow(sim::VirtualBus& bus, SimulatedFtdiApi* usb, QWidget* parent)
    : QWidget(parent), Bus_(bus), Usb_(usb) {
    setWindowTitle(QStringLiteral("Виртуальный стенд"));
    // Closing the main window ends the run even while the bench is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* layout = new QVBoxLayout(this);

    auto* adapters = new QGroupBox(QStringLiteral("Адаптеры USB"), this);
    auto* grid = new QGridLayout(adapters);
    grid->addWidget(new QLabel(QStringLiteral("Описание"), adapters), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Серийный номер"), adapters), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Состояние"), adapters), 0, 2);
    const std::vector<SimulatedAdapter> list =
        Usb_ != nullptr ? Usb_->Adapters() : std::vector<SimulatedAdapter>{};
    for (size_t i = 0; i < list.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid->addWidget(new QLabel(QString::fromStdString(list[i].Description), adapters), row, 0);
        grid->addWidget(new QLabel(QString::fromStdString(list[i].SerialNumber), adapters), row, 1);
        AdapterRow& added = Rows_.emplace_back();
        added.State = new QLabel(adapters);
        added.Plug = new QPushButton(adapters);
        grid->addWidget(added.State, row, 2);
        grid->addWidget(added.Plug, row, 3);
        connect(added.Plug, &QPushButton::clicked, this,
                [this, index = static_cast<int>(i)] { TogglePlug(index); });
    }
    if (list.empty())
        grid->addWidget(new QLabel(QStringLiteral("нет"), adapters), 1, 0);
    layout->addWidget(adapters);

    auto* faults = new QGroupBox(QStringLiteral("Сбои в ответах (COM-порты и адаптеры)"), this);
    auto* faultLayout = new QVBoxLayout(faults);
    FaultChoice_ = new QComboBox(faults);
    for (const BenchFault& fault : BenchFaults())
        FaultChoice_->addItem(QString::fromUtf8(fault.Caption), static_cast<int>(fault.Fault));
    faultLayout->addWidget(FaultChoice_);

    auto* once = new QHBoxLayout;
    NextAnswer_ = new QPushButton(QStringLiteral("К следующему ответу"), faults);
    once->addWidget(NextAnswer_);
    once->addStretch();
    faultLayout->addLayout(once);

    auto* share = new QHBoxLayout;
    share->addWidget(new QLabel(QStringLiteral("Постоянно, доля ответов:"), faults));
    SharePercent_ = new QSpinBox(faults);
    SharePercent_->setRange(1, 100);
    SharePercent_->setValue(10);
    SharePercent_->setSuffix(QStringLiteral(" %"));
    share->addWidget(SharePercent_);
    ShareButton_ = new QPushButton(QStringLiteral("Включить"), faults);
    share->addWidget(ShareButton_);
    faultLayout->addLayout(share);

    auto* state = new QHBoxLayout;
    FaultState_ = new QLabel(faults);
    state->addWidget(FaultState_, 1);
    Clear_ = new QPushButton(QStringLiteral("Снять сбои"), faults);
    state->addWidget(Clear_);
    faultLayout->addLayout(state);
    layout->addWidget(faults);

    connect(NextAnswer_, &QPushButton::clicked, this, [this] { QueueChosenFault(); });
    connect(ShareButton_, &QPushButton::clicked, this, [this] { SetShare(); });
    connect(Clear_, &QPushButton::clicked, this, [this] { ClearFaults(); });

    // The main window opens and closes the adapters and the bus uses queued faults up; what the
    // window shows follows them.
    RefreshTimer_ = new QTimer(this);
    RefreshTimer_->setInterval(500);
    connect(RefreshTimer_, &QTimer::timeout, this, [this] { Refresh(); });
    RefreshTimer_->start();
    Refresh();
}

QPushButton* VirtualBenchWindow::PlugButton(int adapter) const {
    return Rows_.at(static_cast<size_t>(adapter)).Plug;
}

QLabel* VirtualBenchWindow::AdapterState(int adapter) const {
    return Rows_.at(static_cast<size_t>(adapter)).State;
}

void VirtualBenchWindow::Refresh() {
    if (Usb_ != nullptr) {
        const std::vector<SimulatedAdapter> list = Usb_->Adapters();
        for (size_t i = 0; i < list.size() && i < Rows_.size(); ++i) {
            Rows_[i].State->setText(AdapterStateText(list[i]));
            Rows_[i].Plug->setText(PlugCaption(list[i].Plugged));
        }
    }
    QString text = QStringLiteral("В очереди: %1").arg(Bus_.Faults().QueuedCount());
    if (SharedPercent_ > 0) {
        const auto& all = BenchFaults();
        for (const BenchFault& fault : all)
            if (fault.Fault == SharedFault_)
                text += QStringLiteral("; постоянно: %1, %2 %")
                            .arg(QString::fromUtf8(fault.Caption))
                            .arg(SharedPercent_);
    }
    FaultState_->setText(text);
}

void VirtualBenchWindow::TogglePlug(int adapter) {
    if (Usb_ == nullptr)
        return;
    const std::vector<SimulatedAdapter> list = Usb_->Adapters();
    if (adapter < 0 || static_cast<size_t>(adapter) >= list.size())
        return;
    const SimulatedAdapter& chosen = list[static_cast<size_t>(adapter)];
    Usb_->SetPlugged(chosen.SerialNumber, !chosen.Plugged);
    Refresh();
}

LineFault VirtualBenchWindow::ChosenFault() const {
    return static_cast<LineFault>(FaultChoice_->currentData().toInt());
}

void VirtualBenchWindow::QueueChosenFault() {
    Bus_.Faults().Queue(ChosenFault());
    Refresh();
}

void VirtualBenchWindow::SetShare() {
    SharedFault_ = ChosenFault();
    SharedPercent_ = SharePercent_->value();
    // A new seed each time, so that switching the share on again draws other answers.
    Bus_.Faults().SetRate(SharedPercent_ / 100.0, {SharedFault_}, Seed_++);
    Refresh();
}

void VirtualBenchWindow::ClearFaults() {
    Bus_.Faults().Clear();
    SharedPercent_ = 0;
    Refresh();
}

} // namespace vr410
