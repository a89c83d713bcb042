// Facts about the program's surroundings, turned into texts. Nothing here throws or shows
// anything: failures give the empty text, false or a stated default.
#pragma once
#include <cstdint>
#include <string>

namespace locale {

std::string GetExeDir();            // folder of the program file
std::string GetAppDataDir();        // roaming application data
std::string GetCommonAppDataDir();  // all users' application data
std::string GetTempDir();           // the user's temporary folder
// The file's version as 1 to 4 dotted parts; an empty (or blank) name is the program itself.
std::string GetFileVersionText(const std::string& fileName, int parts);
std::string VersionPrefix(const std::string& text, int n);  // text before the n-th "."
std::string FormatSize(int32_t bytes);
double NowLocal();  // days since 1899-12-30 with the time of day as fraction
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int ms);
int WholeDaysApart(double a, double b);
bool IsFullScreenAppActive();
std::string Base64Encode(std::string_view bytes, bool lineBreaks);
std::string EncodeReportText(const std::string& text);  // UTF-8, Base64, CR LF every 76
std::string InstalledProductsReport();

}  // namespace locale
