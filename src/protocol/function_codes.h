// The function codes of the instrument's commands, by name, and the code of an error answer.
#pragma once

#include <cstdint>

namespace vr410::FunctionCode {

constexpr uint8_t Reset = 1;
constexpr uint8_t ReadParameters = 5;
constexpr uint8_t SetParameters = 6;
constexpr uint8_t ExchangeTest = 8;
constexpr uint8_t Screen = 9;
constexpr uint8_t PollState = 10;
constexpr uint8_t SetOutput = 16;
constexpr uint8_t ReadOutput = 17;
constexpr uint8_t CalibratorZero = 18;
constexpr uint8_t Measure = 32;
constexpr uint8_t MeasuredValue = 33;
constexpr uint8_t VoltmeterZero = 34;
constexpr uint8_t VoltmeterControl = 36;
constexpr uint8_t CancelZeroOrCalibration = 49;
constexpr uint8_t Calibrate = 50;
constexpr uint8_t UserCalibration = 52;

// Function code of an answer that reports an instrument error (its M[4] is the error code).
constexpr uint8_t ErrorAnswer = 0xAA;

} // namespace vr410::FunctionCode
