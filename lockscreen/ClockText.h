// The lock window's clock: the time as "h:mm AM/PM" and the date as "dddd, mmmm dd, yyyy" with
// the day and month names of the user's language.
#pragma once

#include <windows.h>

#include <string>

std::string FormatTimeText(const SYSTEMTIME& time);
std::string FormatDateText(const SYSTEMTIME& time);
