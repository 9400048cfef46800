// The instrument bus as it is on the wire: addresses, the control byte, the frame's sizes, the
// bit layouts shared by requests, answers and the virtual instrument, and the instrument's error
// codes. Each is defined here once; the PC side and the simulated devices both use these names.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vr410 {

// Addresses.
constexpr uint8_t AccessoryAddress = 251;         // the VR410С accessory's fixed bus address
constexpr uint8_t HighestInstrumentAddress = 240; // instruments take 0..240

// Control byte M[1].
constexpr uint8_t TransferErrorBit = 0x80; // bit 7: the instrument reports a transfer error
constexpr uint8_t RequestFlagBit = 0x40;   // bit 6: set in every request, clear in answers
constexpr uint8_t FreshValueBit = 0x10;    // bit 4 of an answer: a new measured value is ready
constexpr uint8_t DeviceTypeMask = 0x0F;   // bits 3..0: the device type
constexpr uint8_t DeviceType = 4;
constexpr uint8_t RequestControlByte = RequestFlagBit | DeviceType; // 0x44
constexpr uint8_t AnswerControlByte = DeviceType;                   // 0x04, no flags

// Frame. Message bytes M[0..L] are cut into blocks of at most 15 bytes, each followed by its
// check byte: block 0 holds M[0..14], block 1 M[15..29], block 2 M[30..L].
constexpr size_t MaxBlockBytes = 15;
constexpr size_t LastByteOfBlock0 = 14; // message index
constexpr size_t LastByteOfBlock1 = 29; // message index
constexpr size_t Block1Start = 16;      // body position of block 1, after block 0 and its check
constexpr size_t Block2Start = 32;      // body position of block 2
// Body bytes a packet record holds; the largest message whose body fits has L = 37
// (37 + 2 + 1 + 1 = 41).
constexpr size_t PacketCapacity = 41;
constexpr size_t MaxMessageLength = 37;
// A request frame before it is cut into blocks: the address byte, then M[0..44].
constexpr size_t FrameCapacity = 46;

// The voltmeter byte: the settings of a voltmeter-control request (code 36) and, with the
// overload bit, the measurement status S of a measured-value answer (code 33).
constexpr uint8_t VoltmeterOverloadBit = 0x80; // S only
constexpr uint8_t VoltmeterPercentBit = 0x40;
constexpr uint8_t VoltmeterAutoBit = 0x20;
constexpr uint8_t VoltmeterDeltaBit = 0x10;
constexpr uint8_t VoltmeterInputBit = 0x08; // input U2
constexpr uint8_t VoltmeterRangeMask = 0x07;

// The state flags M[4] of a poll-state answer (code 10).
constexpr uint8_t StateScreenOnBit = 0x01;
constexpr uint8_t StateOkCalibrBit = 0x02;
constexpr uint8_t StateOkInput1Bit = 0x04;
constexpr uint8_t StateOkInput2Bit = 0x08;
constexpr uint8_t StateInputBit = 0x10; // input U2
constexpr uint8_t StateAutoBit = 0x20;
constexpr uint8_t StateDeltaBit = 0x40;
constexpr uint8_t StatePercentBit = 0x80;

// The accessory's band and factor byte (band in the high nibble) while it is in reset.
constexpr uint8_t AccessoryResetByte = 0xFF;

// Payload M[4] of the cancel request (code 49): what it cancels.
enum class CancelTarget : uint8_t {
    Nothing = 0,
    CompleteZero = 1,    // the complete zero ("Ок") of what is in use
    UserCalibration = 2, // the user calibration ("K") of what is in use
};

// Error codes M[4] of an error answer (function code 0xAA).
enum class InstrumentError : uint8_t {
    AddressOutOfRange = 1,    // a new bus address above 240
    WrongMode = 16,           // the instrument is in another mode
    ValueOutOfRange = 17,     // the value being set is inadmissible
    FrequencyOutOfRange = 18, // the frequency is wrong
    ConverterFault = 32,      // the voltage-to-current converter
    AmplifierFault = 33,      // the amplifier up to 1000 V
    RangeNotSet = 34,         // the range is not set
};

} // namespace vr410
