// Paths with the native separator. The only place that knows which separator that is.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);  // both '/' and '\\' on Windows, '/' elsewhere
// Joins pieces with exactly one separator between them; pieces may contain '/' or '\\', which
// are turned into the native separator.
std::string JoinPath(std::initializer_list<std::string_view> pieces);
std::string NativePath(std::string_view path);  // separators made native
std::string IncludeTrailingSeparator(std::string_view path);
std::string ExcludeTrailingSeparator(std::string_view path);
std::string ExtractFilePath(std::string_view path);  // folder with its trailing separator
std::string ExtractFileDir(std::string_view path);   // folder without it
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path);                       // with the dot, or empty
std::string ChangeFileExt(std::string_view path, std::string_view ext);  // ext with its dot
bool IsAbsolutePath(std::string_view path);

}  // namespace platform
