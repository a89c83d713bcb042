#include "tests/support/scoped_env.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace testsupport {

namespace {
void Set(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    _putenv_s(name.c_str(), value ? value->c_str() : "");
    ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
#else
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
#endif
}
}  // namespace

TScopedEnv::TScopedEnv(const std::string& name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name.c_str())) FOld = old;
    Set(name, value);
}

TScopedEnv::~TScopedEnv() {
    Set(FName, FOld);
}

TScopedTempFolder::TScopedTempFolder(const std::string& folder) {
#ifdef _WIN32
    FVars.push_back(std::make_unique<TScopedEnv>("TMP", folder));
    FVars.push_back(std::make_unique<TScopedEnv>("TEMP", folder));
#else
    FVars.push_back(std::make_unique<TScopedEnv>("TMPDIR", folder));
#endif
}

}  // namespace testsupport
