// The Linux stand-in's file-backed task store: what one process registers, another sees and
// deletes. The cross-process case runs this test program again, once per step, with a filter
// and the shared root in the environment. Elsewhere (the real COM objects) these are skipped.
#include <cstdlib>
#include <optional>

#include "platform/taskscheduler.h"
#include "tasks/taskdates.h"
#include "tests/support/fakes.h"
#include "tests/support/task_log_helper.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace tasks;

const char* kOwnTask = "VT Leapgate Task ( One Time )";
const char* kRootVariable = "LG_TASKS_STANDIN_ROOT";
const char* kStepVariable = "LG_TASKS_STANDIN_STEP";

bool StandInActive() {
    return platform::RealTaskSchedulerPlatform().BackendName() == "files";
}

class StandIn : public testing::Test {
protected:
    void SetUp() override {
        if (!StandInActive()) GTEST_SKIP() << "the file-backed stand-in is the Linux backend";
        // A child step runs while its parent holds the lock.
        if (!std::getenv(kStepVariable)) FLock.emplace();
        platform::SetSystemInfo(&FInfo);
        platform::SetClock(&FClock);
        platform::SetServiceControl(&FServices);
    }
    void TearDown() override {
        FreeTaskAdapter();
        platform::SetServiceControl(nullptr);
        platform::SetClock(nullptr);
        platform::SetSystemInfo(nullptr);
    }
    void Use(bool v2) {
        UseTaskScheduler2 = v2;
        CreateTaskAdapter();
    }
    static std::string TaskFile2(const std::string& folder, const std::string& name) {
        return platform::JoinPath(
            {platform::StandInRoot(), "Windows", "System32", "Tasks", folder, name});
    }
    static std::string TaskFile1(const std::string& name) {
        return platform::JoinPath({platform::StandInRoot(), "Windows", "Tasks", name + ".job"});
    }

    std::optional<testsupport::TTaskLogLock> FLock;
    testsupport::TFakeSystemInfo FInfo;
    testsupport::TFakeClock FClock;
    tasktest::TFakeServiceControl FServices;
};

TEST_F(StandIn, TasksAreFilesUnderTheSystemFolder) {
    Use(true);
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, "/opt/leapgate", "/leapgate", 10, 0, nullptr), 0);
    EXPECT_TRUE(platform::FileExists(TaskFile2("", kOwnTask)));
    TTaskInfo nested;
    nested.General.Name = "Nested";
    nested.General.Path = "\\Korvo\\Deep";
    nested.Action.Path = "/opt/x";
    ASSERT_TRUE(TaskAdapter2()->CreateTask(nested, true));
    EXPECT_TRUE(platform::FileExists(TaskFile2("Korvo/Deep", "Nested")));
    EXPECT_EQ(DeleteTask(kOwnTask, "\\"), 0);
    EXPECT_FALSE(platform::FileExists(TaskFile2("", kOwnTask)));
    EXPECT_TRUE(platform::FileExists(TaskFile2("Korvo/Deep", "Nested")));
    // Empty folders survive as folders.
    EXPECT_EQ(DeleteTask("Nested", "\\Korvo\\Deep"), 0);
    EXPECT_TRUE(platform::DirectoryExists(TaskFile2("Korvo", "Deep")));
    EXPECT_EQ(IsTaskExists("Nested", "\\Korvo\\Deep"), 1);

    Use(false);
    ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, "/opt/leapgate", "/leapgate", 10, 0, nullptr), 0);
    EXPECT_TRUE(platform::FileExists(TaskFile1(kOwnTask)));
    EXPECT_EQ(DeleteTask(kOwnTask, ""), 0);
    EXPECT_FALSE(platform::FileExists(TaskFile1(kOwnTask)));
}

TEST_F(StandIn, RecordSurvivesTheFiles) {
    Use(true);
    TTaskInfo info;
    info.General.Name = "Round";
    info.General.Description = "line one\nline two \\ back";
    info.Action.Path = "/opt/r";
    info.Action.Arguments = "--x=1";
    info.Trigger.TriggerType = 1;
    info.RunTime = EncodeDateTime(2027, 6, 5, 4, 3, 2);
    info.Priority = 4;
    info.RestartCount = 2;
    info.RestartInterval = 7;
    info.TaskEnabled = false;
    ASSERT_TRUE(TaskAdapter2()->CreateTask(info, false));
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("round", "\\", false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Description, info.General.Description);
    EXPECT_EQ(read->Action.Arguments, "--x=1");
    EXPECT_EQ(read->Trigger.TriggerType, 1);
    EXPECT_NEAR(read->RunTime, info.RunTime, 1e-9);
    EXPECT_NEAR(read->Trigger.EndBoundary, info.RunTime + 1.0 / 86400, 1e-9);
    EXPECT_EQ(read->Priority, 4);
    EXPECT_EQ(read->RestartCount, 2);
    EXPECT_EQ(read->RestartInterval, 7);
    EXPECT_FALSE(read->TaskEnabled);
    EXPECT_EQ(read->General.UserId, "tester");
}

TEST_F(StandIn, DamagedFilesAreReadAsFarAsTheyGo) {
    std::string dir2 = platform::ExtractFileDir(TaskFile2("", "x"));
    ASSERT_TRUE(platform::ForceDirectories(dir2));
    ASSERT_TRUE(platform::WriteFileBytes(TaskFile2("", "Broken"),
                                         "Author=Someone\nTriggers=99999999\nTrigger1.Type=x\n"
                                         "Actions=-4\nPriority=\n\x01\x02=\n=\n"));
    std::string dir1 = platform::ExtractFileDir(TaskFile1("x"));
    ASSERT_TRUE(platform::ForceDirectories(dir1));
    ASSERT_TRUE(platform::WriteFileBytes(TaskFile1("Job"),
                                         "Triggers=2\nTrigger1=ZZ\nTrigger2=30\n"
                                         "Flags=4\n"));
    Use(true);
    std::unique_ptr<TTaskInfo> read = GetTaskInfo("Broken", "\\", false);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->General.Author, "Someone");
    EXPECT_EQ(read->Priority, 7);          // unreadable: the platform's default
    EXPECT_EQ(read->Triggers.size(), 1u);  // only what the file holds, whatever it claims
    EXPECT_TRUE(read->Actions.empty());
    Use(false);
    std::unique_ptr<TTaskInfo> job = GetTaskInfo("Job", "", false);
    ASSERT_NE(job, nullptr);
    EXPECT_TRUE(job->Triggers.empty());  // records that are not 48 bytes are dropped
    EXPECT_FALSE(job->TaskEnabled);
    EXPECT_EQ(DeleteTask("Job", ""), 0);
    EXPECT_FALSE(platform::FileExists(TaskFile1("Job")));
}

// One step of the cross-process case; runs only when the parent asks for it.
TEST_F(StandIn, ChildStep) {
    const char* root = std::getenv(kRootVariable);
    const char* step = std::getenv(kStepVariable);
    if (!root || !step) GTEST_SKIP() << "run by StandIn.SeenAndDeletedByTheNextRun";
    platform::SetStandInRoot(root);
    const std::string which = step;
    if (which == "register") {
        Use(true);
        ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, "/opt/leapgate", "/leapgate", 10, 0, nullptr),
                  0);
        Use(false);
        ASSERT_EQ(CreateNewTask_OnLogonEx(kOwnTask, "/opt/leapgate", "/leapgate", 10, 0, nullptr),
                  0);
    } else if (which == "find-and-delete") {
        for (bool v2 : {true, false}) {
            Use(v2);
            std::unique_ptr<TTaskInfo> read = GetTaskInfo(kOwnTask, "\\", false);
            ASSERT_NE(read, nullptr) << v2;
            EXPECT_EQ(read->Action.Path, "/opt/leapgate");
            EXPECT_EQ(read->Action.Arguments, "/leapgate");
            EXPECT_EQ(read->Trigger.TriggerType, 9);
            if (v2) {
                EXPECT_EQ(read->Trigger.Delay, 600);
            }
            ASSERT_EQ(IsTaskExists(kOwnTask, "\\"), 0);
            ASSERT_EQ(DeleteTask(kOwnTask, "\\"), 0);
        }
    } else if (which == "find-nothing") {
        for (bool v2 : {true, false}) {
            Use(v2);
            EXPECT_EQ(IsTaskExists(kOwnTask, "\\"), 1) << v2;
        }
    } else {
        FAIL() << "unknown step " << which;
    }
    platform::SetStandInRoot("");
}

TEST_F(StandIn, SeenAndDeletedByTheNextRun) {
    if (std::getenv(kStepVariable)) GTEST_SKIP() << "a child does not start children";
    const std::string root = platform::StandInRoot();
    auto run = [&root](const char* step) {
        std::string command = std::string(kRootVariable) + "='" + root + "' " + kStepVariable +
                              "=" + step + " '" + platform::GetExePath() +
                              "' --gtest_filter=StandIn.ChildStep > /dev/null 2>&1";
        return std::system(command.c_str());
    };
    ASSERT_EQ(run("find-nothing"), 0);
    ASSERT_EQ(run("register"), 0);
    EXPECT_TRUE(platform::FileExists(TaskFile2("", kOwnTask)));
    EXPECT_TRUE(platform::FileExists(TaskFile1(kOwnTask)));
    // This process sees it too, through its own scheduler objects.
    Use(true);
    EXPECT_EQ(IsTaskExists(kOwnTask, "\\"), 0);
    FreeTaskAdapter();
    ASSERT_EQ(run("find-and-delete"), 0);
    EXPECT_FALSE(platform::FileExists(TaskFile2("", kOwnTask)));
    EXPECT_FALSE(platform::FileExists(TaskFile1(kOwnTask)));
    ASSERT_EQ(run("find-nothing"), 0);
    // A failing step is seen as a failure.
    EXPECT_NE(run("no-such-step"), 0);
}

TEST_F(StandIn, ServiceStateFileStopsAndStartsTheService) {
    platform::SetServiceControl(nullptr);  // the stand-in's own manager
    EXPECT_TRUE(IsTaskServiceRunning());   // no state file: running
    std::string file = platform::JoinPath({platform::StandInRoot(), "Services", "Schedule"});
    ASSERT_TRUE(platform::ForceDirectories(platform::ExtractFileDir(file)));
    ASSERT_TRUE(platform::WriteFileBytes(file, "State=1\nStartType=3\n"));
    EXPECT_FALSE(IsTaskServiceRunning());
    EXPECT_TRUE(CheckTaskServices());
    EXPECT_TRUE(IsTaskServiceRunning());
    auto text = platform::ReadFileBytes(file);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("StartType=2"), std::string::npos);
    ASSERT_TRUE(platform::WriteFileBytes(file, "State=1\nStartType=4\n"));  // disabled
    // Our own start-type change enables it again, so it starts.
    EXPECT_TRUE(CheckTaskServices());
    platform::SetServiceControl(&FServices);
}

}  // namespace
