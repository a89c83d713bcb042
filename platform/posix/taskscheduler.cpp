// The Linux stand-in for the Task Scheduler: the in-memory objects over a store that lives in
// files under the stand-in's Windows folder (System32/Tasks for 2.0 tasks, one file per task and
// one folder per task folder; Tasks for 1.0 work items, "<name>.job"). Every new scheduler object
// re-reads the files and every change rewrites them, so a task registered by one run is seen and
// deleted by the next.
#include <filesystem>
#include <map>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/shellfolders.h"
#include "platform/standin/taskstore.h"
#include "platform/sysinfo.h"
#include "platform/text.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

// Key/value lines, written in order and read into a map.
struct TWriter {
    std::string Text;
    std::string Prefix;
    void operator()(const char* key, std::string& v) {
        Text += Prefix + key + "=" + Escape(v) + "\n";
    }
    void operator()(const char* key, int32_t& v) {
        Text += Prefix + key + "=" + std::to_string(v) + "\n";
    }
    void operator()(const char* key, int16_t& v) {
        Text += Prefix + key + "=" + std::to_string(v) + "\n";
    }
    void operator()(const char* key, uint32_t& v) {
        Text += Prefix + key + "=" + std::to_string(v) + "\n";
    }
    void operator()(const char* key, uint16_t& v) {
        Text += Prefix + key + "=" + std::to_string(v) + "\n";
    }
};

struct TReader {
    std::map<std::string, std::string> Values;
    std::string Prefix;
    explicit TReader(const std::string& text) {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            size_t eq = line.find('=');
            if (eq != std::string::npos) Values[line.substr(0, eq)] = Unescape(line.substr(eq + 1));
            pos = end + 1;
        }
    }
    const std::string* Find(const char* key) {
        auto it = Values.find(Prefix + key);
        return it == Values.end() ? nullptr : &it->second;
    }
    void operator()(const char* key, std::string& v) {
        if (auto* s = Find(key)) v = *s;
    }
    template <class T>
    void operator()(const char* key, T& v) {
        int64_t n = 0;
        if (auto* s = Find(key); s && ParseInt64(*s, n)) v = static_cast<T>(n);
    }
};

template <class V>
void VisitTrigger(TStoredTrigger2& t, V& v) {
    v("Type", t.Type), v("Id", t.Id), v("StartBoundary", t.StartBoundary);
    v("EndBoundary", t.EndBoundary), v("ExecutionTimeLimit", t.ExecutionTimeLimit);
    v("Interval", t.Interval), v("Duration", t.Duration), v("Delay", t.Delay);
    v("UserId", t.UserId), v("Enabled", t.Enabled), v("StopAtDurationEnd", t.StopAtDurationEnd);
    v("DaysInterval", t.DaysInterval), v("DaysOfWeek", t.DaysOfWeek);
    v("WeeksInterval", t.WeeksInterval), v("MonthsOfYear", t.MonthsOfYear);
    v("DaysOfMonth", t.DaysOfMonth);
}

template <class V>
void VisitAction(TStoredAction2& a, V& v) {
    v("Type", a.Type), v("Path", a.Path), v("Arguments", a.Arguments);
    v("WorkingDirectory", a.WorkingDirectory), v("Title", a.Title);
    v("MessageBody", a.MessageBody);
}

template <class V>
void VisitDefinition(TStoredDefinition2& d, V& v) {
    v("Author", d.Author), v("Description", d.Description), v("UserId", d.UserId);
    v("RunLevel", d.RunLevel), v("LogonType", d.LogonType);
    v("DisallowStartIfOnBatteries", d.DisallowStartIfOnBatteries);
    v("StopIfGoingOnBatteries", d.StopIfGoingOnBatteries), v("Enabled", d.Enabled);
    v("Hidden", d.Hidden), v("RunOnlyIfIdle", d.RunOnlyIfIdle), v("WakeToRun", d.WakeToRun);
    v("AllowDemandStart", d.AllowDemandStart), v("StartWhenAvailable", d.StartWhenAvailable);
    v("AllowHardTerminate", d.AllowHardTerminate), v("StopOnIdleEnd", d.StopOnIdleEnd);
    v("RestartOnIdle", d.RestartOnIdle), v("Priority", d.Priority);
    v("RestartCount", d.RestartCount), v("MultipleInstances", d.MultipleInstances);
    v("Compatibility", d.Compatibility), v("RestartInterval", d.RestartInterval);
    v("ExecutionTimeLimit", d.ExecutionTimeLimit);
    v("DeleteExpiredTaskAfter", d.DeleteExpiredTaskAfter), v("WaitTimeout", d.WaitTimeout);
    v("IdleDuration", d.IdleDuration);
}

template <class V>
void VisitWorkItem(TStoredWorkItem1& w, V& v) {
    v("ApplicationName", w.ApplicationName), v("Parameters", w.Parameters);
    v("WorkingDirectory", w.WorkingDirectory), v("Comment", w.Comment);
    v("Creator", w.Creator), v("Account", w.Account), v("Flags", w.Flags);
    v("Priority", w.Priority), v("MaxRunTime", w.MaxRunTime), v("IdleMinutes", w.IdleMinutes);
    v("DeadlineMinutes", w.DeadlineMinutes);
}

std::string SerializeTask(TStoredTask2& task) {
    TWriter w;
    VisitDefinition(task.Definition, w);
    w.Text += "Triggers=" + std::to_string(task.Definition.Triggers.size()) + "\n";
    for (size_t i = 0; i < task.Definition.Triggers.size(); ++i) {
        w.Prefix = "Trigger" + std::to_string(i + 1) + ".";
        VisitTrigger(task.Definition.Triggers[i], w);
    }
    w.Prefix.clear();
    w.Text += "Actions=" + std::to_string(task.Definition.Actions.size()) + "\n";
    for (size_t i = 0; i < task.Definition.Actions.size(); ++i) {
        w.Prefix = "Action" + std::to_string(i + 1) + ".";
        VisitAction(task.Definition.Actions[i], w);
    }
    return w.Text;
}

TStoredDefinition2 ParseTask(const std::string& text) {
    TReader r(text);
    TStoredDefinition2 d;
    VisitDefinition(d, r);
    int32_t triggers = 0, actions = 0;
    r("Triggers", triggers);
    r("Actions", actions);
    for (int32_t i = 1; i <= triggers && i <= 1000; ++i) {
        r.Prefix = "Trigger" + std::to_string(i) + ".";
        if (!r.Find("Type")) break;  // a count the file does not hold
        d.Triggers.emplace_back();
        VisitTrigger(d.Triggers.back(), r);
    }
    for (int32_t i = 1; i <= actions && i <= 1000; ++i) {
        r.Prefix = "Action" + std::to_string(i) + ".";
        if (!r.Find("Type")) break;
        d.Actions.emplace_back();
        VisitAction(d.Actions.back(), r);
    }
    return d;
}

class TFileTaskStore : public TMemoryTaskStore {
public:
    std::string BackendName() override { return "files"; }

    void Load() override {
        DefaultUser = SystemInfo().UserName();
        Folders.assign(1, TStoredFolder2{"\\", {}});
        WorkItems.clear();
        std::error_code ec;
        fs::path root2 = fs::path(Root2());
        if (fs::is_directory(root2, ec)) LoadFolder(root2, "\\");
        fs::path root1 = fs::path(Root1());
        for (auto it = fs::directory_iterator(root1, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            std::string file = it->path().string();
            if (!it->is_regular_file(ec) || !SameText(ExtractFileExt(file), ".job")) continue;
            auto bytes = ReadFileBytes(file);
            if (!bytes) continue;
            TStoredWorkItem1 item;
            item.Name = WorkItemBaseName(ExtractFileName(file));
            TReader r(*bytes);
            VisitWorkItem(item, r);
            int32_t count = 0;
            r("Triggers", count);
            for (int32_t i = 1; i <= count && i <= 1000; ++i) {
                TTaskTriggerRecord rec;
                auto* hex = r.Find(("Trigger" + std::to_string(i)).c_str());
                if (hex && TriggerRecordOfHex(*hex, rec)) item.Triggers.push_back(rec);
            }
            WorkItems.push_back(item);
        }
    }

    void Commit() override {
        std::error_code ec;
        fs::remove_all(fs::path(Root2()), ec);
        ForceDirectories(Root2());
        for (auto& folder : Folders) {
            std::string dir = folder.Path == "\\" ? Root2() : JoinPath({Root2(), folder.Path});
            ForceDirectories(dir);
            for (auto& task : folder.Tasks)
                WriteFileBytes(JoinPath({dir, task.Name}), SerializeTask(task));
        }
        fs::remove_all(fs::path(Root1()), ec);
        ForceDirectories(Root1());
        for (auto& item : WorkItems) {
            TWriter w;
            VisitWorkItem(item, w);
            w.Text += "Triggers=" + std::to_string(item.Triggers.size()) + "\n";
            for (size_t i = 0; i < item.Triggers.size(); ++i)
                w.Text += "Trigger" + std::to_string(i + 1) + "=" +
                          TriggerRecordHex(item.Triggers[i]) + "\n";
            WriteFileBytes(JoinPath({Root1(), item.Name + ".job"}), w.Text);
        }
    }

private:
    static std::string Root2() { return JoinPath({StandInRoot(), "Windows", "System32", "Tasks"}); }
    static std::string Root1() { return JoinPath({StandInRoot(), "Windows", "Tasks"}); }

    void LoadFolder(const fs::path& dir, const std::string& taskPath) {
        std::error_code ec;
        TStoredFolder2* folder = FindFolder(taskPath);
        if (!folder) {
            Folders.push_back(TStoredFolder2{taskPath, {}});
            folder = &Folders.back();
        }
        std::vector<fs::path> subfolders;
        for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            if (it->is_directory(ec)) {
                subfolders.push_back(it->path());
            } else if (auto bytes = ReadFileBytes(it->path().string())) {
                folder->Tasks.push_back(
                    TStoredTask2{it->path().filename().string(), ParseTask(*bytes)});
            }
        }
        for (auto& sub : subfolders)
            LoadFolder(sub, (taskPath == "\\" ? "" : taskPath) + "\\" + sub.filename().string());
    }
};

}  // namespace

ITaskSchedulerPlatform& RealTaskSchedulerPlatform() {
    static TMemTaskSchedulerPlatform real(std::make_shared<TFileTaskStore>());
    return real;
}

}  // namespace platform
