// The virtual bench: a small window of its own, shown beside the main window on a --virtual run,
// that does to the virtual instrument's surroundings what a technician does at a real bench. It
// lists the simulated USB adapters with a button each to pull one out or plug it back in, and
// puts faults on the bus's answers: the chosen fault on the next answer, or on a share of all
// answers. The COM ports and the adapters lead to the same bus, so a fault reaches whichever
// link the program uses. Not part of the instrument's menus.
#pragma once

#include "sim/line_fault.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace vr410 {

class SimulatedFtdiApi;
namespace sim {
class VirtualBus;
}

// One fault kind as the bench window offers it.
struct BenchFault {
    sim::LineFault Fault;
    const char* Caption; // Russian, UTF-8
};

// Every fault the bus can put on an answer, in the order of the window's list.
const std::vector<BenchFault>& BenchFaults();

// Where a window of `size` goes beside the main window's frame `owner` on a screen whose free
// area is `available`: right of it, else left of it, else below it at its right edge (the
// packet monitor takes the left part under it), else inside the screen's bottom right corner;
// never beyond the screen's edges.
QPoint BenchPlacement(const QRect& owner, const QSize& size, const QRect& available);

class VirtualBenchWindow : public QWidget {
    Q_OBJECT

  public:
    // `bus` and `usb` must outlive the window; `usb` may be null (no adapters listed).
    VirtualBenchWindow(sim::VirtualBus& bus, SimulatedFtdiApi* usb, QWidget* parent = nullptr);

    // The row of each adapter, in the library's listing order: its plug button and state label.
    QPushButton* PlugButton(int adapter) const;
    QLabel* AdapterState(int adapter) const;
    QComboBox* FaultChoice() const { return FaultChoice_; }
    QPushButton* NextAnswerButton() const { return NextAnswer_; }
    QSpinBox* SharePercent() const { return SharePercent_; }
    QPushButton* ShareButton() const { return ShareButton_; }
    QPushButton* ClearButton() const { return Clear_; }
    QLabel* FaultState() const { return FaultState_; }

    // Reads the adapters and the fault queue again (a timer does it twice a second).
    void Refresh();

  private:
    struct AdapterRow {
        QLabel* State = nullptr;
        QPushButton* Plug = nullptr;
    };

    void TogglePlug(int adapter);
    sim::LineFault ChosenFault() const;
    void QueueChosenFault();
    void SetShare();
    void ClearFaults();

    sim::VirtualBus& Bus_;
    SimulatedFtdiApi* Usb_;
    std::vector<AdapterRow> Rows_;
    QComboBox* FaultChoice_ = nullptr;
    QPushButton* NextAnswer_ = nullptr;
    QSpinBox* SharePercent_ = nullptr;
    QPushButton* ShareButton_ = nullptr;
    QPushButton* Clear_ = nullptr;
    QLabel* FaultState_ = nullptr;
    QTimer* RefreshTimer_ = nullptr;
    // What runs at a share of the answers, shown until cleared.
    int SharedPercent_ = 0;
    sim::LineFault SharedFault_ = sim::LineFault::NoAnswer;
    uint32_t Seed_ = 1;
};

} // namespace vr410
