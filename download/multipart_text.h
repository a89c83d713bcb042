// Small text and time helpers of the segmented downloader.
#pragma once
#include <cstdint>
#include <string>

namespace download {

// A document name as the probe logs it: percent escapes as bytes, '+' as a blank, up to the
// first '&'; the bytes taken as UTF-8 when they are valid UTF-8, else in the system code page.
std::string DecodeDocName(const std::string& name);

// The local date-time now, in days since 1899-12-30 with the time of day as the fraction.
double NowDays();

// The total after '/' in a "Content-Range" field of the header lines; -1 when absent or "*".
int64_t ContentRangeTotal(const std::string& headerLine);

}  // namespace download
