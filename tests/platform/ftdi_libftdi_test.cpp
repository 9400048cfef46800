// The libftdi1 backend on a machine without an adapter, and the meaning it gives libftdi1's and
// libusb's failure codes.
#include "platform/ftdi_libftdi.h"

#include <gtest/gtest.h>

#include <libusb.h>

namespace vr410 {
namespace {

TEST(LibftdiApi, WithoutAnAdapterListsNoneAndFindsNothingToOpen) {
    LibftdiApi api;
    uint32_t count = 99;
    EXPECT_EQ(api.DeviceCount(count), FT_OK);
    EXPECT_EQ(count, 0u);
    std::string serial = "unchanged";
    EXPECT_EQ(api.SerialNumberByIndex(0, serial), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(serial, "unchanged");
    FtHandle handle = 7;
    EXPECT_EQ(api.OpenBySerialNumber("VR000001", handle), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    // Calls on a handle that was never opened are refused, not followed.
    uint32_t queued = 0;
    EXPECT_EQ(api.GetQueueStatus(handle, queued), FT_INVALID_HANDLE);
    EXPECT_EQ(api.Close(handle), FT_INVALID_HANDLE);
}

struct MappingCase {
    LibftdiCall Call;
    int Result;
    FT_STATUS Status;
};

TEST(LibftdiApi, FailureCodesBecomeTheLibrarysStatuses) {
    // clang-format off
    const MappingCase cases[] = {
        {LibftdiCall::ReadData, 5, FT_OK},
        {LibftdiCall::ReadData, 0, FT_OK},
        // A device pulled out under a transfer: not found or I/O error, as the reporter expects.
        {LibftdiCall::ReadData, LIBUSB_ERROR_NO_DEVICE, FT_DEVICE_NOT_FOUND},
        {LibftdiCall::ReadData, LIBUSB_ERROR_IO, FT_IO_ERROR},
        {LibftdiCall::ReadData, LIBUSB_ERROR_PIPE, FT_IO_ERROR},
        {LibftdiCall::ReadData, LIBUSB_ERROR_NO_MEM, FT_INSUFFICIENT_RESOURCES},
        {LibftdiCall::ReadData, LIBUSB_ERROR_NOT_SUPPORTED, FT_NOT_SUPPORTED},
        {LibftdiCall::ReadData, LIBUSB_ERROR_OTHER, FT_OTHER_ERROR},
        {LibftdiCall::ReadData, -666, FT_INVALID_HANDLE},
        {LibftdiCall::WriteData, LIBUSB_ERROR_TIMEOUT, FT_FAILED_TO_WRITE_DEVICE},
        {LibftdiCall::WriteData, LIBUSB_ERROR_IO, FT_FAILED_TO_WRITE_DEVICE},
        {LibftdiCall::WriteData, LIBUSB_ERROR_NO_DEVICE, FT_DEVICE_NOT_FOUND},
        {LibftdiCall::WriteData, -666, FT_INVALID_HANDLE},
        {LibftdiCall::FindAll, -3, FT_INSUFFICIENT_RESOURCES},
        {LibftdiCall::FindAll, -5, FT_IO_ERROR},
        {LibftdiCall::GetStrings, -1, FT_INVALID_ARGS},
        {LibftdiCall::GetStrings, -4, FT_DEVICE_NOT_FOUND},
        {LibftdiCall::GetStrings, -9, FT_IO_ERROR},
        {LibftdiCall::OpenDev, -4, FT_DEVICE_NOT_OPENED},
        {LibftdiCall::OpenDev, -5, FT_DEVICE_NOT_OPENED},
        {LibftdiCall::OpenDev, -11, FT_INVALID_HANDLE},
        {LibftdiCall::OpenDev, -12, FT_IO_ERROR},
        {LibftdiCall::SetBaudrate, -1, FT_INVALID_BAUD_RATE},
        {LibftdiCall::SetBaudrate, -2, FT_IO_ERROR},
        {LibftdiCall::SetBaudrate, -3, FT_INVALID_HANDLE},
        {LibftdiCall::LineProperty, -1, FT_IO_ERROR},
        {LibftdiCall::LineProperty, -2, FT_INVALID_HANDLE},
        {LibftdiCall::Reset, -1, FT_IO_ERROR},
        {LibftdiCall::Flush, -2, FT_INVALID_HANDLE},
        {LibftdiCall::LatencyTimer, -1, FT_INVALID_PARAMETER},
        {LibftdiCall::LatencyTimer, -2, FT_IO_ERROR},
    };
    // clang-format on
    for (const MappingCase& c : cases)
        EXPECT_EQ(FtStatusFromLibftdi(c.Call, c.Result), c.Status)
            << "call " << static_cast<int>(c.Call) << " result " << c.Result;
}

} // namespace
} // namespace vr410
