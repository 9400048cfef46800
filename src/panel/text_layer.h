// Panel4: the instrument's display of two rows of 23 dot-matrix cells on a black panel. Cells
// are laid side by side, each starting where the cell before it in the row ends, so a run of
// large digits pushes the following characters to the right.
#pragma once

#include "panel/display_writer.h"
#include "panel/lcd_screen.h"

#include <QFrame>

#include <array>
#include <string>

namespace vr410 {

class Panel4 : public QFrame, public DisplayWriter {
    Q_OBJECT

  public:
    static constexpr int Rows = 2;
    static constexpr int Columns = 23;

    // Creates the 46 cells LCD101..LCD123 and LCD201..LCD223 at their design places, each
    // showing a blank; the owner clears both rows at start-up.
    explicit Panel4(QWidget* parent = nullptr);

    // A row outside 1..2 is ignored.
    void CLRDisp(int row) override;
    // A row outside 1..2 is ignored; characters that fall before column 1 or past column 23
    // are dropped.
    void PrintText(int column, int row, int dotWidth, const std::string& text) override;

    // The cell at row 1..2, column 1..23; nullptr outside.
    TLCDScreen* Cell(int row, int column) const;

    // The 23 characters a row shows, as UTF-8: the character of each visible cell, a blank for
    // each hidden one. Empty for a row outside 1..2.
    std::string RowText(int row) const;

  private:
    std::array<std::array<TLCDScreen*, Columns>, Rows> Cells_{};
};

} // namespace vr410
