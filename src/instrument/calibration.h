// The instrument's calibration text ("07_MAR_2024", or "default_calibration" when uncalibrated): the
// date it names, the due date a year on, whether a stored due date has passed, and asking the
// instrument for the text once more. User-interface thread.
#pragma once

#include <string>

#include "instrument/link.h"
#include "platform/clock.h"

namespace instrument {

// The date in a calibration text such as 07_MAR_2024: 07-03-2024, or in words 07th March 2024.
// Leaves out unchanged and returns false for "default_calibration" or an empty text.
bool calibrationDate(const std::string& text, std::string& out, bool wordy);

// The calibration due date, a year after the calibration, as stored (2025-03-07); "" when the text
// holds no date.
std::string calibrationDueDate(const std::string& calibration);

// True when the stored due date (YYYY-MM-DD) is today or later; false when it is earlier or is not
// three numbers.
bool isCalibrationCurrent(const std::string& dueDate);
bool isCalibrationCurrent(const std::string& dueDate, const platform::LocalTime& today);

// Opens the link and asks for the calibration text ("CALSTR?", five tries of 100 ms each), keeps a
// reply in link.calibration and closes the link again. The read timeout is 1000 ms afterwards. False,
// with the text unchanged, when the link cannot be opened or nothing came.
bool rereadCalibration(InstrumentLink& link);

}  // namespace instrument
