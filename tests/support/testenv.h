// Test environment shared by every test program.
#pragma once
#include <gtest/gtest.h>

#include <string>

namespace testsupport {

// Points the Linux stand-in's folders (app data, registry, task store …) at a fresh root under
// the temporary folder for the whole run and removes it afterwards.
class TTestEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// A fresh folder under the temporary folder, removed with everything in it at destruction.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }  // ends with the separator
    std::string File(const std::string& name) const { return FPath + name; }

private:
    std::string FPath;
};

void RemoveTree(const std::string& path);
// A path of the build machine (such as a source file) as this program sees it: unchanged on
// Linux, on drive Z with backslashes under Wine.
std::string HostPath(const std::string& buildMachinePath);
// The stand-in root the run's tests share (empty on Windows).
std::string TestRoot();

}  // namespace testsupport
