// Clock texts of the lock window.
#include "lockscreen/ClockText.h"

#include <cstdio>

namespace {

const char* const kEnglishDays[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kEnglishMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};

// A name from the user's locale; the English one when the locale cannot tell.
std::string LocaleName(LCTYPE type, const char* fallback) {
    char name[80] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, name, sizeof name);
    if (length <= 1) return fallback;
    return std::string(name);
}

}  // namespace

// "AM/PM" here is the fixed upper-case pair, not the locale's designators: many locales have
// none, and the time would then lose the half of the day.
std::string FormatTimeText(const SYSTEMTIME& time) {
    const int hour = time.wHour % 24;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d %s", hour12, time.wMinute % 60, hour < 12 ? "AM" : "PM");
    return text;
}

// The nominative names from the locale table rather than GetDateFormat's "MMMM", which in
// several languages switches to the genitive form next to a day number.
std::string FormatDateText(const SYSTEMTIME& time) {
    const int day = (time.wDayOfWeek % 7 + 6) % 7;  // the locale table starts on Monday
    const int month = (time.wMonth >= 1 && time.wMonth <= 12) ? time.wMonth - 1 : 0;
    const std::string dayName = LocaleName(LOCALE_SDAYNAME1 + static_cast<LCTYPE>(day), kEnglishDays[day]);
    const std::string monthName =
        LocaleName(LOCALE_SMONTHNAME1 + static_cast<LCTYPE>(month), kEnglishMonths[month]);
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, " %02d, %04d", time.wDay % 100, time.wYear % 10000);
    return dayName + ", " + monthName + numbers;
}
