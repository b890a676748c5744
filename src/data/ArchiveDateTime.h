// Archive time stamps: a double counting days since 1899-12-30, the fraction being the time of
// day in local time. Conversions here never consult the time zone, so a given calendar time
// always encodes to the same bits (reproducible archive builds).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace bw {

using TDateTime = double;

struct DateTimeParts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// The current local date and time.
TDateTime DateTimeNow();

// Encodes a calendar date and time; nullopt for a field out of range (years 1..9999).
std::optional<TDateTime> EncodeDateTime(const DateTimeParts& parts);
// Decodes a time stamp; nullopt for NaN, infinities and values outside years 1..9999.
std::optional<DateTimeParts> DecodeDateTime(TDateTime value);

// "YYYY-MM-DDTHH:MM:SS" (with ".mmm" when the milliseconds are not zero), or "invalid".
std::string DateTimeToIso(TDateTime value);
// Reads "YYYY-MM-DD", optionally followed by "T" or a space and "HH:MM", "HH:MM:SS" or
// "HH:MM:SS.fff". Zone designators are refused: time stamps are local calendar times.
std::optional<TDateTime> IsoToDateTime(std::string_view text);

} // namespace bw
