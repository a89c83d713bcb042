// The in-memory Task Scheduler objects the task tests and the Linux stand-in stand on: the
// bounds of every collection, the types a collection creates, which typed interface a trigger
// or action admits, and that a refused call changes nothing.
#include "tasks/taskerrors.h"
#include "tests/tasks/task_fixture.h"

namespace {

using namespace platform;
using tasks::Deref;
using tasktest::TTaskTest;

class MemoryObjects : public TTaskTest {
protected:
    TPtr<ITaskService> Connected() {
        TPtr<ITaskService> service;
        EXPECT_EQ(Fake.Platform().CoCreateInstance(service), kSOk);
        EXPECT_EQ(Deref(service).Connect({}, {}, {}, {}), kSOk);
        return service;
    }
    TPtr<ITaskDefinition> NewDefinition() {
        TPtr<ITaskDefinition> definition;
        EXPECT_EQ(Deref(Connected()).NewTask(0, definition), kSOk);
        return definition;
    }
    TPtr<ITriggerCollection> Triggers(const TPtr<ITaskDefinition>& definition) {
        TPtr<ITriggerCollection> triggers;
        EXPECT_EQ(Deref(definition).get_Triggers(triggers), kSOk);
        return triggers;
    }
    TPtr<IActionCollection> Actions(const TPtr<ITaskDefinition>& definition) {
        TPtr<IActionCollection> actions;
        EXPECT_EQ(Deref(definition).get_Actions(actions), kSOk);
        return actions;
    }
    int32_t Count(auto& collection) {
        int32_t count = -1;
        EXPECT_EQ(Deref(collection).get_Count(count), kSOk);
        return count;
    }
};

TEST_F(MemoryObjects, TriggerCollectionCreatesTheTwelveKindsOnly) {
    TPtr<ITriggerCollection> triggers = Triggers(NewDefinition());
    TPtr<ITrigger> trigger;
    for (int32_t type : {-1, 12}) {
        EXPECT_EQ(triggers->Create(type, trigger), kEInvalidArg) << type;
        EXPECT_EQ(trigger, nullptr) << type;
    }
    EXPECT_EQ(Count(triggers), 0);
    for (int32_t type : {0, 11}) {
        ASSERT_EQ(triggers->Create(type, trigger), kSOk) << type;
        int32_t read = -1;
        ASSERT_EQ(Deref(trigger).get_Type(read), kSOk);
        EXPECT_EQ(read, type);
    }
    EXPECT_EQ(Count(triggers), 2);
    EXPECT_EQ(Store().CallsMatching({"ITriggerCollection."}),
              (std::vector<std::string>{
                  "ITriggerCollection.Create(-1)", "ITriggerCollection.Create(12)",
                  "ITriggerCollection.get_Count()", "ITriggerCollection.Create(0)",
                  "ITriggerCollection.Create(11)", "ITriggerCollection.get_Count()"}));
}

TEST_F(MemoryObjects, ItemsAreCountedFromOneAndAMissOnEitherSideEmptiesTheAnswer) {
    TPtr<ITaskDefinition> definition = NewDefinition();
    TPtr<ITriggerCollection> triggers = Triggers(definition);
    TPtr<IActionCollection> actions = Actions(definition);
    TPtr<ITrigger> trigger;
    TPtr<IAction> action;
    ASSERT_EQ(triggers->Create(2, trigger), kSOk);
    ASSERT_EQ(triggers->Create(9, trigger), kSOk);
    ASSERT_EQ(actions->Create(7, action), kSOk);
    for (int32_t index : {0, 3}) {
        ASSERT_NE(trigger, nullptr);
        EXPECT_EQ(triggers->get_Item(index, trigger), kEInvalidArg) << index;
        EXPECT_EQ(trigger, nullptr) << index;  // not the previous answer
        ASSERT_EQ(triggers->get_Item(1, trigger), kSOk);
    }
    int32_t type = -1;
    ASSERT_EQ(triggers->get_Item(2, trigger), kSOk);
    ASSERT_EQ(Deref(trigger).get_Type(type), kSOk);
    EXPECT_EQ(type, 9);
    EXPECT_EQ(actions->get_Item(0, action), kEInvalidArg);
    EXPECT_EQ(action, nullptr);
    EXPECT_EQ(actions->get_Item(2, action), kEInvalidArg);
    ASSERT_EQ(actions->get_Item(1, action), kSOk);
    ASSERT_EQ(Deref(action).get_Type(type), kSOk);
    EXPECT_EQ(type, 7);
    EXPECT_EQ(
        Store().CallsMatching({"IActionCollection.get_Item", "IAction.get_Type"}),
        (std::vector<std::string>{"IActionCollection.get_Item(0)", "IActionCollection.get_Item(2)",
                                  "IActionCollection.get_Item(1)", "IAction.get_Type()"}));
}

TEST_F(MemoryObjects, ActionCollectionCreatesTheFourKindsOnly) {
    TPtr<IActionCollection> actions = Actions(NewDefinition());
    for (int32_t type = -1; type <= 8; ++type) {
        TPtr<IAction> action;
        bool admitted = type == 0 || type == 5 || type == 6 || type == 7;
        EXPECT_EQ(actions->Create(type, action), admitted ? kSOk : kEInvalidArg) << type;
        EXPECT_EQ(action != nullptr, admitted) << type;
    }
    EXPECT_EQ(Count(actions), 4);
}

TEST_F(MemoryObjects, TypedInterfacesFollowTheKindAndShareOneRecord) {
    TPtr<ITaskDefinition> definition = NewDefinition();
    TPtr<ITriggerCollection> triggers = Triggers(definition);
    TPtr<ITrigger> trigger;
    ASSERT_EQ(triggers->Create(3, trigger), kSOk);
    TPtr<IDailyTrigger> daily;
    EXPECT_EQ(trigger->QueryInterface(daily), kENoInterface);
    EXPECT_EQ(daily, nullptr);
    TPtr<IWeeklyTrigger> weekly;
    ASSERT_EQ(trigger->QueryInterface(weekly), kSOk);
    trigger.reset();  // the typed answer keeps the object alive
    ASSERT_EQ(Deref(weekly).put_DaysOfWeek(0x41), kSOk);
    ASSERT_EQ(weekly->put_Enabled(kVariantFalse), kSOk);

    ASSERT_EQ(triggers->get_Item(1, trigger), kSOk);
    TVariantBool enabled = kVariantTrue;
    ASSERT_EQ(trigger->get_Enabled(enabled), kSOk);
    EXPECT_EQ(enabled, kVariantFalse);
    TPtr<IWeeklyTrigger> again;
    ASSERT_EQ(trigger->QueryInterface(again), kSOk);
    int16_t days = 0;
    ASSERT_EQ(Deref(again).get_DaysOfWeek(days), kSOk);
    EXPECT_EQ(days, 0x41);

    TPtr<IActionCollection> actions = Actions(definition);
    TPtr<IAction> action;
    ASSERT_EQ(actions->Create(7, action), kSOk);
    TPtr<IExecAction> exec;
    EXPECT_EQ(action->QueryInterface(exec), kENoInterface);
    EXPECT_EQ(exec, nullptr);
    TPtr<IShowMessageAction> message;
    ASSERT_EQ(action->QueryInterface(message), kSOk);
    ASSERT_EQ(Deref(message).put_Title("Hello"), kSOk);
    ASSERT_EQ(actions->get_Item(1, action), kSOk);
    ASSERT_EQ(action->QueryInterface(message), kSOk);
    TBstr title;
    ASSERT_EQ(message->get_Title(title), kSOk);
    EXPECT_EQ(title, "Hello");
    EXPECT_EQ(
        Store().CallsMatching({"ITrigger.QueryInterface", "IAction.QueryInterface"}),
        (std::vector<std::string>{
            "ITrigger.QueryInterface(IDailyTrigger)", "ITrigger.QueryInterface(IWeeklyTrigger)",
            "ITrigger.QueryInterface(IWeeklyTrigger)", "IAction.QueryInterface(IExecAction)",
            "IAction.QueryInterface(IShowMessageAction)",
            "IAction.QueryInterface(IShowMessageAction)"}));
}

TEST_F(MemoryObjects, RefusedCallsChangeNothingAndHandOutNothing) {
    TPtr<ITaskDefinition> definition = NewDefinition();
    TPtr<ITriggerCollection> triggers = Triggers(definition);
    TPtr<ITrigger> trigger;
    ASSERT_EQ(triggers->Create(1, trigger), kSOk);
    const HResult denied = HResultOf(0x80070005u);
    Store().Refuse("ITriggerCollection.Create", denied);
    Store().Refuse("ITriggerCollection.get_Item", denied);
    EXPECT_EQ(triggers->Create(2, trigger), denied);
    EXPECT_EQ(trigger, nullptr);
    EXPECT_EQ(triggers->get_Item(1, trigger), denied);
    EXPECT_EQ(trigger, nullptr);
    Store().ClearRefusals();
    EXPECT_EQ(Count(triggers), 1);
    ASSERT_EQ(triggers->get_Item(1, trigger), kSOk);
    Store().Refuse("ITrigger.QueryInterface", denied);
    Store().Refuse("ITrigger.get_Type", denied);
    TPtr<ITimeTrigger> time;
    EXPECT_EQ(trigger->QueryInterface(time), denied);  // though it is of that kind
    EXPECT_EQ(time, nullptr);
    int32_t type = -1;
    EXPECT_EQ(trigger->get_Type(type), denied);
    EXPECT_EQ(type, -1);

    TPtr<IActionCollection> actions = Actions(definition);
    Store().Refuse("IActionCollection.Create", denied);
    TPtr<IAction> action;
    EXPECT_EQ(actions->Create(0, action), denied);
    Store().ClearRefusals();
    EXPECT_EQ(Count(actions), 0);
}

TEST_F(MemoryObjects, FolderAndTaskListsAreCountedFromOne) {
    TPtr<ITaskFolder> root;
    ASSERT_EQ(Deref(Connected()).GetFolder("\\", root), kSOk);
    TPtr<ITaskFolder> made;
    ASSERT_EQ(root->CreateFolder("B", TVariant::Str(""), made), kSOk);
    ASSERT_EQ(root->CreateFolder("A\\Deep", TVariant::Str(""), made), kSOk);
    TPtr<ITaskFolderCollection> folders;
    ASSERT_EQ(root->GetFolders(0, folders), kSOk);
    EXPECT_EQ(Count(folders), 2);  // "\A\Deep" lies below "\A"
    TPtr<ITaskFolder> folder;
    for (int32_t index : {0, 3}) {
        ASSERT_EQ(folders->get_Item(2, folder), kSOk);
        EXPECT_EQ(folders->get_Item(index, folder), kEInvalidArg) << index;
        EXPECT_EQ(folder, nullptr) << index;
    }
    std::string path;
    ASSERT_EQ(folders->get_Item(1, folder), kSOk);
    ASSERT_EQ(Deref(folder).get_Path(path), kSOk);
    EXPECT_EQ(path, "\\B");

    TPtr<ITaskDefinition> definition = NewDefinition();
    TPtr<IAction> action;
    ASSERT_EQ(Deref(Actions(definition)).Create(0, action), kSOk);
    TPtr<IExecAction> exec;
    ASSERT_EQ(action->QueryInterface(exec), kSOk);
    ASSERT_EQ(Deref(exec).put_Path("C:\\a.exe"), kSOk);
    TPtr<IRegisteredTask> registered;
    ASSERT_EQ(root->RegisterTaskDefinition("Job", definition, 6, TVariant::Null(), TVariant::Null(),
                                           3, TVariant::Str(""), registered),
              kSOk);
    TPtr<IRegisteredTaskCollection> tasks;
    ASSERT_EQ(root->GetTasks(1, tasks), kSOk);
    EXPECT_EQ(Count(tasks), 1);
    TPtr<IRegisteredTask> task;
    EXPECT_EQ(tasks->get_Item(2, task), kEInvalidArg);
    ASSERT_EQ(tasks->get_Item(1, task), kSOk);
    TBstr name;
    ASSERT_EQ(Deref(task).get_Name(name), kSOk);
    EXPECT_EQ(name, "Job");
    EXPECT_EQ(Store().CallsMatching({"ITaskFolderCollection.", "IRegisteredTaskCollection."}),
              (std::vector<std::string>{
                  "ITaskFolderCollection.get_Count()", "ITaskFolderCollection.get_Item(2)",
                  "ITaskFolderCollection.get_Item(0)", "ITaskFolderCollection.get_Item(2)",
                  "ITaskFolderCollection.get_Item(3)", "ITaskFolderCollection.get_Item(1)",
                  "IRegisteredTaskCollection.get_Count()", "IRegisteredTaskCollection.get_Item(2)",
                  "IRegisteredTaskCollection.get_Item(1)"}));
}

TEST_F(MemoryObjects, WorkItemPropertiesAreKeptAndARefusedSetKeepsTheOldValue) {
    TPtr<ITaskScheduler> scheduler;
    ASSERT_EQ(Fake.Platform().CoCreateInstance(scheduler), kSOk);
    TPtr<ITask> task;
    ASSERT_EQ(Deref(scheduler).NewWorkItem("Item", task), kSOk);
    ASSERT_EQ(Deref(task).SetComment("first"), kSOk);
    ASSERT_EQ(task->SetMaxRunTime(60000), kSOk);
    Store().Refuse("ITask.SetComment", HResultOf(0x80070005u));
    Store().Refuse("ITask.SetMaxRunTime", HResultOf(0x80070005u));
    EXPECT_EQ(task->SetComment("second"), HResultOf(0x80070005u));
    EXPECT_EQ(task->SetMaxRunTime(1), HResultOf(0x80070005u));
    TBstr comment;
    uint32_t limit = 0;
    ASSERT_EQ(task->GetComment(comment), kSOk);
    ASSERT_EQ(task->GetMaxRunTime(limit), kSOk);
    EXPECT_EQ(comment, "first");
    EXPECT_EQ(limit, 60000u);
    EXPECT_EQ(Store().CallsMatching({"ITask.SetComment", "ITask.GetMaxRunTime"}),
              (std::vector<std::string>{"ITask.SetComment(\"first\")",
                                        "ITask.SetComment(\"second\")", "ITask.GetMaxRunTime()"}));
}

}  // namespace
