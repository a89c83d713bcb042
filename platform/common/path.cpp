#include "platform/path.h"

namespace platform {

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string NativePath(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/' || c == '\\') c = kPathSeparator;
    }
    return out;
}

std::string JoinPath(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (std::string_view piece : pieces) {
        std::string p = NativePath(piece);
        if (out.empty()) {
            out = std::move(p);
            continue;
        }
        if (p.empty()) continue;
        const bool outEnds = out.back() == kPathSeparator;
        const bool pStarts = p.front() == kPathSeparator;
        if (outEnds && pStarts)
            out.append(p, 1);
        else if (outEnds || pStarts)
            out += p;
        else
            out += kPathSeparator + p;
    }
    return out;
}

std::string IncludeTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsPathSeparator(out.back())) out += kPathSeparator;
    return out;
}

std::string ExcludeTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (out.size() > 1 && IsPathSeparator(out.back())) out.pop_back();
    return out;
}

namespace {
size_t LastSeparator(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return i - 1;
#ifdef _WIN32
        if (path[i - 1] == ':') return i - 1;
#endif
    }
    return std::string_view::npos;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) {
    const size_t sep = LastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string ExtractFileDir(std::string_view path) {
    const size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos) return {};
    // Keep the separator of a root ("/" or "C:\").
    if (sep == 0 || (sep > 0 && path[sep - 1] == ':')) return std::string(path.substr(0, sep + 1));
    return std::string(path.substr(0, sep));
}

std::string ExtractFileName(std::string_view path) {
    const size_t sep = LastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFileExt(std::string_view path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    const size_t sep = LastSeparator(path);
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep))
        return std::string(path) + std::string(ext);
    return std::string(path.substr(0, dot)) + std::string(ext);
}

bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) return true;
    return path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]);
#else
    return !path.empty() && path[0] == '/';
#endif
}

}  // namespace platform
