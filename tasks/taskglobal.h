// The description of one scheduled task that the scheduler adapters and the task service
// functions pass around, the ISO 8601 duration texts of the 2.0 interfaces, and the name of the
// user the program runs as.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tasks {

// Local date-time: days since 1899-12-30, the time of day as the fraction; 0 is "not set".
using TDateTime = double;

struct TTaskGeneral {
    std::string Name;
    std::string Path = "\\";  // "\" is the root folder
    std::string Author;
    std::string Description;
    std::string UserId;
    bool Hidden = false;
    int32_t RunLevel = 1;       // 0 least privilege, 1 highest
    int32_t Compatibility = 2;  // 2.0 tasks
};

// One trigger, in 2.0 numbering of TriggerType (1 one time … 9 logon).
struct TTaskTriger {
    int32_t TriggerType = 0;
    int32_t Delay = -1;           // seconds; negative: none
    int32_t IdleDeadline = -1;    // minutes; the 1.0 read only
    int32_t RepeatInterval = -1;  // minutes; not positive: none
    int32_t RepeatDuration = -1;  // minutes; not positive: none
    bool StopAtDurationEnd = false;
    int32_t ExecutionTimeLimit = -1;  // minutes; not positive: none
    bool Enabled = true;
    TDateTime StartBoundary = 0;
    TDateTime EndBoundary = 0;
    std::string StartBoundaryText;  // as the 2.0 interfaces returned it
};

using TTaskTrigers = std::vector<TTaskTriger>;

struct TTaskAction {
    int32_t ActionType = 0;  // 0 run a program, 7 show a message
    std::string Path;
    std::string Arguments;
    std::string WorkingDirectory;
    std::string Title;
    std::string MessageBody;
};

using TTaskActions = std::vector<TTaskAction>;

class TTaskInfo {
public:
    TTaskTrigers Triggers;  // filled when a task is read back
    TTaskActions Actions;   // filled when a task is read back
    TTaskGeneral General;
    TTaskTriger Trigger;  // the trigger to create; after a read, the first trigger
    TTaskAction Action;

    bool RunOnlyIfIdle = false;
    bool AllowStartOnBatteries = true;
    bool StopIfGoingOnBatteries = false;
    int32_t IdleDuration = -1;     // minutes
    int32_t IdleWaitTimeout = -1;  // minutes
    bool StopOnIdleEnd = false;
    bool RestartOnIdle = false;
    bool WakeToRun = false;
    bool AllowDemandStart = true;
    bool StartWhenAvailable = false;
    int32_t RestartInterval = -1;  // minutes
    int32_t RestartCount = -1;
    int32_t ExecutionTimeLimitDays = 0;  // 0: no limit
    bool AllowHardTerminate = false;
    bool DeleteWhenDone = false;    // 1.0 only
    int32_t MultipleInstances = 0;  // 0 parallel, 1 queue, 2 ignore new, 3 stop existing
    int32_t StartHour = 0, StartMinute = 0, StartSecond = 0;
    int32_t DaysInterval = 1;
    int32_t WeeksInterval = 1;
    int32_t DaysOfWeek = 0;            // bit 0 Sunday … bit 6 Saturday
    int32_t DaysOfMonth = 0x7FFFFFFF;  // bit i: day i + 1
    int32_t MonthsOfYear = 0xFFF;      // bit 0 January … bit 11 December
    TDateTime RunTime = 0;
    bool TaskEnabled = true;
    int32_t LogonType = 3;      // interactive token
    int32_t CreationFlags = 6;  // create or update
    int16_t Priority = 5;
    uint8_t TriggerTypeV1 = 0;     // 1.0 numbering: 0 once … 7 at logon
    int32_t TaskFlagsV1 = 0x2000;  // TASK_FLAG_RUN_ONLY_IF_LOGGED_ON

    void AddTrigger(const TTaskTriger& trigger) { Triggers.push_back(trigger); }
    void AddAction(const TTaskAction& action) { Actions.push_back(action); }
};

// Sets StartHour, StartMinute and StartSecond from the first trigger's StartBoundary.
void SplitStartTime(TTaskInfo& info);

// "P[nD]T[nH][nM]nS"; empty for a negative value.
std::string SecondsToDuration(int64_t seconds);
// Sums the numbers before D, H, M and S; everything else is skipped.
int32_t DurationToSeconds(const std::string& text);

// The name of the user the program runs as; empty when it cannot be had.
std::string GetTaskUserName();

}  // namespace tasks
