// Fuzz target: the text helpers every registry and settings reader goes through, and the
// safe-mode marker arithmetic of the tool. Arbitrary text in; checked against what the helpers
// promise: trimming, padding, rounding (against the C library's), number reading (against
// strtod for plain decimals), registry roots, and the marker round trips.
#include <cfenv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "system/RegistryPath.h"
#include "system/Text.h"
#include "tool/UserinitMarker.h"

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// digits [. digits] [e [sign] digits], with a digit somewhere before any exponent: the form
// both the lenient reader and strtod read the same way.
bool IsPlainDecimal(const std::string& text) {
    std::size_t i = 0, digits = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < text.size() && IsDigit(text[i]) && expDigits < 4) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == text.size();
}

void CheckTrimming(const std::string& text) {
    const std::string trimmed = TrimNull(text);
    FUZZ_CHECK(trimmed.find('\0') == std::string::npos);
    FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
    FUZZ_CHECK(text.find(trimmed) != std::string::npos);
    FUZZ_CHECK(TrimNull(trimmed) == trimmed);
    const std::size_t width = text.size() % 300;
    const std::string fixed = PadFixedText(text, width);
    FUZZ_CHECK(fixed.size() == width);
    FUZZ_CHECK(TrimBlanks(fixed) == TrimBlanks(text.substr(0, width)));
}

void CheckNumbers(const std::string& text, double raw) {
    const double parsed = ParseLeadingNumber(text);
    FUZZ_CHECK(!std::isnan(parsed));
    if (IsPlainDecimal(text)) {
        const double expected = std::strtod(text.c_str(), nullptr);
        FUZZ_CHECK(parsed == expected || (std::isinf(parsed) && std::isinf(expected) && parsed == expected));
    }
    (void)RegistryDwordFromText(text);

    // Halves to the even neighbour, as the C library does in its default rounding mode.
    if (std::isnan(raw)) {
        FUZZ_CHECK(RoundHalfEven(raw) == 0);
    } else if (std::fabs(raw) < 9.0e18) {
        FUZZ_CHECK(std::fegetround() == FE_TONEAREST);
        FUZZ_CHECK(RoundHalfEven(raw) == static_cast<int64_t>(std::nearbyint(raw)));
    }
}

void CheckRegistryPath(const std::string& text) {
    const RegistryLocation location = GetRootKey(text);
    const std::size_t slash = text.find('\\');
    if (location.Root == RegistryRoot::None) return;
    FUZZ_CHECK(slash == std::string::npos ? location.SubKey.empty() : location.SubKey == text.substr(slash + 1));
    const std::size_t last = text.rfind('\\');
    FUZZ_CHECK(location.LastPart == (last == std::string::npos ? text : text.substr(last + 1)));
}

// A path as a program path can be: no comma (Winlogon's separator) and not holding the switch.
bool IsPlausibleProgramPath(const std::string& path) {
    return path.find(',') == std::string::npos && path.find("/StartupLock") == std::string::npos &&
           path.find('\0') == std::string::npos;
}

void CheckMarker(const std::string& userinit, const std::string& tail, const std::string& path) {
    if (!IsPlausibleProgramPath(path) || TrimNull(path).empty()) return;
    const std::string marker = SafeModeMarker(path);
    FUZZ_CHECK(HasMarker(AddMarker(userinit, marker), marker));
    if (HasMarker(userinit, marker) || HasMarker(tail, marker)) return;
    // "/Enable" then "/Disable" gives back the list (as read, trimmed) ...
    const std::string list = TrimNull(userinit);
    FUZZ_CHECK(RemoveMarker(AddMarker(list, marker), marker) == list);
    // ... and the uninstaller cuts our marker out from between other entries, nothing else.
    FUZZ_CHECK(UninstallUserinit(userinit + marker + tail, path, path) == userinit + tail);
    // The same when "APP_PATH" recorded the path in capitals: both spellings are ours.
    const std::string upper = ToUpperAscii(path);
    const std::string upperMarker = SafeModeMarker(upper);
    if (!HasMarker(userinit, upperMarker) && !HasMarker(tail, upperMarker)) {
        FUZZ_CHECK(UninstallUserinit(userinit + marker + tail, path, upper) == userinit + tail);
        FUZZ_CHECK(UninstallUserinit(userinit + upperMarker + tail, path, upper) == userinit + tail);
    }
    FUZZ_CHECK(IsInstalledStartupCommand(TrimNull(path) + " /StartupLock", path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // A double's bits, a program path and a list tail (each a length byte and its bytes), then
    // the text itself.
    FuzzInput input(data, size);
    const double raw = input.RawDouble();
    const std::string path = input.Bytes(input.U8());
    const std::string tail = input.Bytes(input.U8());
    const std::string text = input.Bytes(input.Remaining());
    CheckTrimming(text);
    CheckNumbers(text, raw);
    CheckRegistryPath(text);
    CheckMarker(text, tail, path);
    return 0;
}
