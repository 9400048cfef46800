// Line settings as Linux termios flags. MARK and SPACE are stick parity, PARENB|CMSPAR, with
// PARODD for MARK. The input flags always carry INPCK|PARMRK: received errors are then marked
// in the byte stream and the characters still delivered, which is what Windows does with parity
// checking off (report, do not replace). Without INPCK Linux could not flag them at all, so
// ParityCheck changes nothing here.
#pragma once

#include "platform/serial_api.h"

#include <termios.h>

namespace vr410 {

// Sets the line part of `t` (speed, frame, parity, flow control, raw input and output, reads
// that never wait). False, leaving `t` alone, for a rate or a frame termios has no code for.
bool ToTermios(const LineSettings& settings, termios& t);

// The line settings `t` holds; the fields termios has no place for come from `others`.
LineSettings FromTermios(const termios& t, const LineSettings& others);

} // namespace vr410
