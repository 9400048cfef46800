// The Windows-1251/UTF-8 codec on any bytes: every Windows-1251 text survives the way to UTF-8
// and back; UTF-8 decoding and encoding agree with the validity check; the display conversion
// gives one byte per character; case folding keeps valid UTF-8 valid and is idempotent.
#include "platform/text_encoding.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vr410;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The bytes as Windows-1251.
    const std::string utf8 = Utf8FromCp1251(bytes);
    Require(IsValidUtf8(utf8), "Windows-1251 gives valid UTF-8");
    const auto back = Cp1251FromUtf8Exact(utf8);
    Require(back && *back == bytes, "Windows-1251 survives a round trip");
    Require(Cp1251FromUtf8(utf8) == bytes, "the display conversion agrees");
    Require(DecodeUtf8(utf8).size() == bytes.size(), "one character per Windows-1251 byte");

    // The bytes as UTF-8.
    const bool valid = IsValidUtf8(bytes);
    const std::u32string chars = DecodeUtf8(bytes);
    std::string encoded;
    for (const char32_t c : chars) {
        Require(c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF), "decoded characters are characters");
        encoded += EncodeUtf8(c);
    }
    Require(IsValidUtf8(encoded), "encoding gives valid UTF-8");
    if (valid) {
        Require(encoded == bytes, "valid UTF-8 survives decoding and encoding");
    } else {
        Require(!Cp1251FromUtf8Exact(bytes), "malformed UTF-8 has no exact Windows-1251 form");
    }
    const std::string display = Cp1251FromUtf8(bytes);
    Require(display.size() == chars.size(), "the display gets one byte per character");
    for (size_t i = 0; i < chars.size(); ++i) {
        const auto code = Cp1251Code(chars[i]);
        if (code) {
            Require(UnicodeFromCp1251(*code) == chars[i], "the page maps both ways");
        }
    }

    const std::string folded = FoldCase(bytes);
    Require(FoldCase(folded) == folded, "folding twice changes nothing more");
    if (valid) {
        Require(IsValidUtf8(folded), "folding keeps UTF-8 valid");
    }
    Require(Cp1251FromUtf8Exact(FoldCase(utf8)).has_value(),
            "folded Windows-1251 text stays in the page");
    return 0;
}
