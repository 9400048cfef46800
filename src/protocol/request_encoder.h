// Turns the selected command and the instrument state into the request frame and packet.
#pragma once

#include "frame.h"
#include "instrument_state.h"

#include <string>

namespace vr410 {

// What the encoder reads from windows, passed in as plain values.
struct EncoderInputs {
    bool AccessoryMode = false; // the accessory item "VR410С" is ticked
    int Frequency = 1000;       // value of the frequency field SE_Freq (45..1000 Hz)
    double OkValue = 0.0;       // value of the complete-zero dialog's field FE_Ok
    int OkDigits = 0;           // that field's number of decimals (Digits)
    std::string CancelHint;     // Hint of the cancel item Ok_Reset: "1", "2" or other
    int NewAddress = 0;         // address field of the parameters dialog (0..255)
};

// Fills TxFrame for state.CommandCode and builds TxPacket from it; returns true. When the code
// is not in the table it returns false having written only the address byte TxFrame[0]; TxPacket
// is then untouched and nothing is to be sent. Frame bytes that a command does not name keep
// what they held. Code 6 also sets the destination-address dialog's field to NewAddress: that
// window write is the caller's. OutputDigits and CalibrationDigits shorter than eight characters
// are completed with '0' at their end; OkValue * 10^OkDigits is rounded half to even.
// The one state write: code 16 on an AC row sets an eighth character of OutputDigits to '0'
// (AC values have seven digits; an eight-digit string there came from a read-output answer).
bool EncodeRequest(InstrumentState& state, const EncoderInputs& in, FrameBytes& TxFrame,
                   PacketRecord& TxPacket);

} // namespace vr410
