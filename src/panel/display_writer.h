// The two operations through which everything is written to the instrument's display.
#pragma once

#include <string>

namespace vr410 {

class DisplayWriter {
  public:
    virtual ~DisplayWriter() = default;
    // Hides every position of row (1 or 2) and puts it back at its place on the fixed grid.
    virtual void CLRDisp(int row) = 0;
    // Writes the UTF-8 text one character per position from column on (1..23) of row, each
    // with the given dot width (4 narrow, 9 for large digits). Characters past column 23 are
    // dropped; an empty text does nothing.
    virtual void PrintText(int column, int row, int dotWidth, const std::string& text) = 0;
};

} // namespace vr410
