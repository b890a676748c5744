#include "data/ArchiveDateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace bw {

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2 ? 1 : 0));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return (m == 2 && leap) ? 29 : kDays[m - 1];
}

bool ReadDigits(std::string_view text, std::size_t& pos, int count, int& value) {
    if (pos + static_cast<std::size_t>(count) > text.size()) return false;
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos + static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    pos += static_cast<std::size_t>(count);
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

} // namespace

TDateTime DateTimeNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    DateTimeParts p;
    p.Year = local.tm_year + 1900;
    p.Month = local.tm_mon + 1;
    p.Day = local.tm_mday;
    p.Hour = local.tm_hour;
    p.Minute = local.tm_min;
    p.Second = local.tm_sec > 59 ? 59 : local.tm_sec;
    p.Millisecond = static_cast<int>(ms < 0 ? 0 : ms);
    return EncodeDateTime(p).value_or(0.0);
}

std::optional<TDateTime> EncodeDateTime(const DateTimeParts& p) {
    if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12 || p.Day < 1 ||
        p.Day > DaysInMonth(p.Year, p.Month) || p.Hour < 0 || p.Hour > 23 || p.Minute < 0 ||
        p.Minute > 59 || p.Second < 0 || p.Second > 59 || p.Millisecond < 0 || p.Millisecond > 999)
        return std::nullopt;
    const long long days =
        DaysFromCivil(p.Year, static_cast<unsigned>(p.Month), static_cast<unsigned>(p.Day)) -
        kEpochOffset;
    const double time =
        ((p.Hour * 60.0 + p.Minute) * 60.0 + p.Second + p.Millisecond / 1000.0) / 86400.0;
    // Before the epoch the day count is negative but the time of day still counts forward.
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

std::optional<DateTimeParts> DecodeDateTime(TDateTime value) {
    if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0) return std::nullopt;
    double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * 86400000.0);
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += value < 0 ? -1.0 : 1.0;
    }
    DateTimeParts p;
    CivilFromDays(static_cast<long long>(whole) + kEpochOffset, p.Year, p.Month, p.Day);
    if (p.Year < 1 || p.Year > 9999) return std::nullopt;
    p.Millisecond = static_cast<int>(ms % 1000);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Hour = static_cast<int>(ms / 3600000);
    return p;
}

std::string DateTimeToIso(TDateTime value) {
    const auto p = DecodeDateTime(value);
    if (!p) return "invalid";
    char buf[40];
    if (p->Millisecond != 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", p->Year, p->Month,
                      p->Day, p->Hour, p->Minute, p->Second, p->Millisecond);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", p->Year, p->Month, p->Day,
                      p->Hour, p->Minute, p->Second);
    return buf;
}

std::optional<TDateTime> IsoToDateTime(std::string_view text) {
    DateTimeParts p;
    std::size_t pos = 0;
    if (!ReadDigits(text, pos, 4, p.Year) || !Expect(text, pos, '-') ||
        !ReadDigits(text, pos, 2, p.Month) || !Expect(text, pos, '-') ||
        !ReadDigits(text, pos, 2, p.Day))
        return std::nullopt;
    if (pos < text.size()) {
        if (text[pos] != 'T' && text[pos] != ' ') return std::nullopt;
        ++pos;
        if (!ReadDigits(text, pos, 2, p.Hour) || !Expect(text, pos, ':') ||
            !ReadDigits(text, pos, 2, p.Minute))
            return std::nullopt;
        if (pos < text.size()) {
            if (!Expect(text, pos, ':') || !ReadDigits(text, pos, 2, p.Second)) return std::nullopt;
            if (pos < text.size()) {
                if (!Expect(text, pos, '.') || !ReadDigits(text, pos, 3, p.Millisecond))
                    return std::nullopt;
            }
        }
    }
    if (pos != text.size()) return std::nullopt;
    return EncodeDateTime(p);
}

} // namespace bw
