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

// Fills TxFrame for state.CommandCode and builds TxPacket from it. Returns false, and leaves
// TxFrame after its address and length bytes untouched, when the code is not in the table.
// Frame bytes that a command does not name keep what they held.
bool EncodeRequest(const InstrumentState& state, const EncoderInputs& in, FrameBytes& TxFrame,
                   PacketRecord& TxPacket);

} // namespace vr410
