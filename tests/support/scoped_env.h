// Environment variables set for the life of a scope (the temporary folder, the opener …).
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class TScopedEnv {
public:
    TScopedEnv(const std::string& name, const std::string& value);
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string FName;
    std::optional<std::string> FOld;
};

// Points the system's temporary folder (TMPDIR on Linux, TMP and TEMP on Windows) at `folder`.
class TScopedTempFolder {
public:
    explicit TScopedTempFolder(const std::string& folder);

private:
    std::vector<std::unique_ptr<TScopedEnv>> FVars;
};

}  // namespace testsupport
