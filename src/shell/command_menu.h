// The program's list of commands: the items of the hidden "Режим" menu, each carrying its
// function code, together with "Передать" (N11) and "Остановить передачу" (N12). The main window
// hands their clicks to the exchange engine, which also ticks the selected item and enables N11
// and N12 through its events; a disabled item ignores the click.
#pragma once

#include <QObject>

#include <cstdint>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace vr410 {

class CommandMenu : public QObject {
    Q_OBJECT
  public:
    explicit CommandMenu(QObject* parent = nullptr);

    // The item of the command with that function code, nullptr for a code not in the list.
    QAction* Item(uint8_t code) const;
    // The item with that component name (N3, N24, NUadcQuery, ...), or nullptr.
    QAction* ItemNamed(const char* name) const;
    // The command items in menu order.
    const std::vector<QAction*>& Items() const { return Items_; }

    // Clicks an item the way the program does: runs its action when it is enabled, ignores the
    // click when it is disabled. Returns whether the action ran.
    static bool Click(QAction* item);

    // The hint of the cancel item Ok_Reset: "1" cancels the complete zero, "2" the user
    // calibration; the encoder reads it for code 49.
    void SetCancelHint(const QString& hint);
    QString CancelHint() const;

    // Fills menu with the command items and their separators, in menu order.
    void AddItemsTo(QMenu& menu) const;

    QAction* N11; // "Передать"
    QAction* N12; // "Остановить передачу"

  private:
    QActionGroup* Group_;
    std::vector<QAction*> Items_;
};

} // namespace vr410
