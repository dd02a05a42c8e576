// Calibration texts and dates, and the short exchange that reads the text again.
#include "instrument/calibration.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace instrument {
namespace {

constexpr int kCalibrationAttempts = 5;

}  // namespace

bool calibrationDate(const std::string& text, std::string& out, bool wordy) {
    if (text.empty() || text == "default_calibration") return false;
    auto at = [&](std::size_t i) { return i < text.size() ? text[i] : '\0'; };
    std::string day = text.substr(0, 2);
    std::string result = day;
    if (wordy) {
        int d = std::atoi(day.c_str());
        result += (d == 1 || d == 21 || d == 31) ? "st " : (d == 2 || d == 22) ? "nd " : (d == 3 || d == 23) ? "rd " : "th ";
    } else {
        result += "-";
    }

    std::size_t first = text.find('_');
    std::size_t m = first == std::string::npos ? text.size() : first + 1;
    const char a = at(m), b = at(m + 1), c = at(m + 2);
    int month = 0;
    if (a == 'A') month = b == 'P' ? 4 : b == 'U' ? 8 : 0;
    else if (a == 'D') month = 12;
    else if (a == 'F') month = 2;
    else if (a == 'J') month = b == 'A' ? 1 : (b == 'U' && c == 'N') ? 6 : (b == 'U' && c == 'L') ? 7 : 0;
    else if (a == 'M') month = c == 'Y' ? 5 : c == 'R' ? 3 : 0;
    else if (a == 'N') month = 11;
    else if (a == 'O') month = 10;
    else if (a == 'S') month = 9;
    static const char* const kNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
    if (month == 0) result += text.substr(std::min(m, text.size()), 3);
    else if (wordy) result += kNames[month - 1];
    else result += (month < 10 ? "0" : "") + std::to_string(month);

    result += wordy ? " " : "-";
    std::size_t second = first == std::string::npos ? std::string::npos : text.find('_', first + 1);
    if (second != std::string::npos) result += text.substr(second + 1, 4);
    out = result;
    return true;
}

std::string calibrationDueDate(const std::string& calibration) {
    std::string date;
    if (!calibrationDate(calibration, date, false)) return {};
    // day-month-year, one year on, rewritten year-month-day
    std::size_t first = date.find('-'), last = date.rfind('-');
    if (first == std::string::npos || first == last) return {};
    char year[16];
    std::snprintf(year, sizeof year, "%4d", std::atoi(date.c_str() + last + 1) + 1);
    return std::string(year) + "-" + date.substr(first + 1, last - first - 1) + "-" + date.substr(0, first);
}

bool isCalibrationCurrent(const std::string& dueDate, const platform::LocalTime& today) {
    int year = 0, month = 0, day = 0;
    char end = 0;
    if (std::sscanf(dueDate.c_str(), "%d-%d-%d%c", &year, &month, &day, &end) != 3) return false;
    if (year != today.year) return year > today.year;
    if (month != today.month) return month > today.month;
    return day >= today.day;
}

bool isCalibrationCurrent(const std::string& dueDate) {
    return isCalibrationCurrent(dueDate, platform::localTimeNow());
}

bool rereadCalibration(InstrumentLink& link) {
    if (linkOpen(link) != 0) return false;
    std::string reply;
    bool replied = false;
    for (int attempt = 0; attempt < kCalibrationAttempts && !replied; ++attempt) {
        linkSetReadTimeout(100, link);
        linkWrite("CALSTR?\n", link);
        replied = linkReadLine(reply, 128, link) > 0;
        linkSetReadTimeout(1000, link);
    }
    if (replied) link.calibration = reply;
    linkClose(link);
    return replied;
}

}  // namespace instrument
