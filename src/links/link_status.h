// The status of the link in use, as a value: what the serial driver found at its last open or
// since, what the link selection knows of a USB device, and the one table of the Russian texts
// the status bar shows for them. Only Ready lets an exchange run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vr410 {

struct LinkStatus {
    enum Kind : uint8_t {
        Empty,         // nothing tried yet: a serial driver before its first open
        NotSelected,   // no port and no USB device chosen
        Ready,         // the port or the device is open and set up for the instrument line
        Absent,        // the port does not exist, or its device went away while in use
        Busy,          // the port is held by another program
        OsError,       // any other refusal of the open; Code holds the system's error code
        NotConfigured, // the port opened but refused a setting; it stays open and unusable
        NoMarkSpace,   // the port opened but has no stick parity to carry the ninth bit
        UsbNotOpened,  // the chosen USB device could not be opened
    };

    Kind What = Empty;
    int32_t Code = 0; // the system's error code of an OsError, else 0

    // Implicit, so that a status compares with a plain kind: status == LinkStatus::Ready.
    constexpr LinkStatus(Kind what = Empty) : What(what) {}
    static constexpr LinkStatus FromOsError(int32_t code) {
        LinkStatus status(OsError);
        status.Code = code;
        return status;
    }

    // The exchange may run over the link only while this holds.
    constexpr bool IsReady() const { return What == Ready; }
    bool operator==(const LinkStatus&) const = default;
};

struct LinkStatusRow {
    LinkStatus::Kind What;
    std::string_view Text; // an OsError's text is followed by its code
};

// clang-format off
inline constexpr std::array<LinkStatusRow, 9> LinkStatusTexts = {{
    {.What = LinkStatus::Empty,         .Text = ""},
    {.What = LinkStatus::NotSelected,   .Text = "порт не выбран"},
    {.What = LinkStatus::Ready,         .Text = "готов"},
    {.What = LinkStatus::Absent,        .Text = "отсутствует"},
    {.What = LinkStatus::Busy,          .Text = "занят"},
    {.What = LinkStatus::OsError,       .Text = "Error="},
    {.What = LinkStatus::NotConfigured, .Text = "ошибка"},
    {.What = LinkStatus::NoMarkSpace,   .Text = "нет MARK/SPACE"},
    {.What = LinkStatus::UsbNotOpened,  .Text = "ошибка"},
}};
// clang-format on

// The text of a status as the status bar shows it after "COM<n> - ": "готов", "отсутствует",
// "Error=<code>" and so on.
std::string LinkStatusText(LinkStatus status);

// The ready text, for code that still compares status texts; new code asks IsReady().
inline constexpr const char* PortReady = LinkStatusTexts[LinkStatus::Ready].Text.data();

} // namespace vr410
