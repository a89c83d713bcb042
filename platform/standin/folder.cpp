// 2.0 task folders and registered tasks in memory, and the lists a folder hands out.
#include "platform/standin/objects.h"
#include "platform/text.h"

namespace platform::standin {

namespace {

inline constexpr HResult kEDirNotEmpty = HResultOf(0x80070091u);   // ERROR_DIR_NOT_EMPTY
inline constexpr HResult kENoActionPath = HResultOf(0x80041319u);  // an exec action without a path
inline constexpr int32_t kTaskEnumHidden = 1;
inline constexpr int32_t kTaskCreate = 2;
inline constexpr int32_t kTaskUpdate = 4;

// The tasks or subfolders a folder listed when asked: items 1 … count, named FFace in the
// recording.
template <class ICollection, class IItem>
class TMemListCollection : public ICollection, TMemoryObject {
public:
    TMemListCollection(TStore s, std::vector<TPtr<IItem>> items, const char* face)
        : TMemoryObject(std::move(s)), FItems(std::move(items)), FFace(face) {}
    HResult get_Count(int32_t& count) override {
        if (HResult hr = Call(FFace + ".get_Count")) return hr;
        count = static_cast<int32_t>(FItems.size());
        return kSOk;
    }
    HResult get_Item(int32_t index, TPtr<IItem>& item) override {
        item.reset();
        if (HResult hr = Call(FFace + ".get_Item", CallArg(index))) return hr;
        if (index < 1 || index > static_cast<int32_t>(FItems.size())) return kEInvalidArg;
        item = FItems[index - 1];
        return kSOk;
    }

private:
    std::vector<TPtr<IItem>> FItems;
    std::string FFace;
};

class TMemRegisteredTask : public IRegisteredTask, TMemoryObject {
public:
    TMemRegisteredTask(TStore s, std::string folder, std::string name)
        : TMemoryObject(std::move(s)), FFolder(std::move(folder)), FName(std::move(name)) {}
    HResult get_Name(TBstr& name) override {
        if (HResult hr = Call("IRegisteredTask.get_Name")) return hr;
        name = FName;
        return kSOk;
    }
    HResult get_Path(TBstr& path) override {
        if (HResult hr = Call("IRegisteredTask.get_Path")) return hr;
        path = (FFolder == "\\" ? "" : FFolder) + "\\" + FName;
        return kSOk;
    }
    HResult get_Definition(TPtr<ITaskDefinition>& definition) override {
        definition.reset();
        if (HResult hr = Call("IRegisteredTask.get_Definition")) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        // A copy, as the service hands out: changing it changes nothing until re-registered.
        definition =
            NewTaskDefinition(FStore, std::make_shared<TStoredDefinition2>(task->Definition));
        return kSOk;
    }
    HResult get_Enabled(TVariantBool& value) override {
        if (HResult hr = Call("IRegisteredTask.get_Enabled")) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        value = task->Definition.Enabled;
        return kSOk;
    }
    HResult put_Enabled(const TVariantBool& value) override {
        if (HResult hr = Call("IRegisteredTask.put_Enabled", CallArg(value))) return hr;
        TStoredTask2* task = FStore->FindTask(FFolder, FName);
        if (!task) return kEFileNotFound;
        task->Definition.Enabled = value ? kVariantTrue : kVariantFalse;
        FStore->Commit();
        return kSOk;
    }

private:
    std::string FFolder, FName;
};

class TMemTaskFolder : public ITaskFolder, TMemoryObject {
public:
    TMemTaskFolder(TStore s, std::string path)
        : TMemoryObject(std::move(s)), FPath(std::move(path)) {}

    HResult get_Path(TBstr& path) override { return Get("ITaskFolder.get_Path", FPath, path); }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) override {
        folder.reset();
        if (HResult hr = Call("ITaskFolder.GetFolder", CallArg(path))) return hr;
        TStoredFolder2* found = FStore->FindFolder(Resolve(path));
        if (!found) return kEFileNotFound;
        folder = NewTaskFolder(FStore, found->Path);
        return kSOk;
    }
    HResult GetFolders(int32_t flags, TPtr<ITaskFolderCollection>& folders) override;
    HResult CreateFolder(const TBstr& name, const TVariant& sddl,
                         TPtr<ITaskFolder>& folder) override;
    HResult DeleteFolder(const TBstr& name, int32_t flags) override;
    HResult GetTasks(int32_t flags, TPtr<IRegisteredTaskCollection>& tasks) override;
    HResult DeleteTask(const TBstr& name, int32_t flags) override;
    HResult RegisterTaskDefinition(const TBstr& path, const TPtr<ITaskDefinition>& definition,
                                   int32_t flags, const TVariant& userId, const TVariant& password,
                                   int32_t logonType, const TVariant& sddl,
                                   TPtr<IRegisteredTask>& task) override;

private:
    // A path from the root as it is, any other below this folder.
    std::string Resolve(const std::string& path) const {
        if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
            return NormalizeTaskFolderPath(path);
        return NormalizeTaskFolderPath((FPath == "\\" ? "" : FPath) + "\\" + path);
    }
    bool HasSubfolders(const std::string& path) const {
        for (auto& f : FStore->Folders)
            if (f.Path != "\\" && SameText(ParentTaskFolderPath(f.Path), path)) return true;
        return false;
    }
    std::string FPath;
};

HResult TMemTaskFolder::GetFolders(int32_t flags, TPtr<ITaskFolderCollection>& folders) {
    folders.reset();
    if (HResult hr = Call("ITaskFolder.GetFolders", CallArg(flags))) return hr;
    std::vector<TPtr<ITaskFolder>> list;
    for (auto& f : FStore->Folders)
        if (f.Path != "\\" && SameText(ParentTaskFolderPath(f.Path), FPath))
            list.push_back(NewTaskFolder(FStore, f.Path));
    folders = std::make_shared<TMemListCollection<ITaskFolderCollection, ITaskFolder>>(
        FStore, std::move(list), "ITaskFolderCollection");
    return kSOk;
}

HResult TMemTaskFolder::CreateFolder(const TBstr& name, const TVariant& sddl,
                                     TPtr<ITaskFolder>& folder) {
    folder.reset();
    if (HResult hr = Call("ITaskFolder.CreateFolder", CallArg(name) + ", " + CallArg(sddl)))
        return hr;
    std::string full = Resolve(name);
    if (full == "\\" || name.empty()) return kEInvalidArg;
    if (FStore->FindFolder(full)) return kEAlreadyExists;
    // Missing levels in between are made as well, as the service does.
    std::vector<std::string> chain;
    for (std::string p = full; p != "\\"; p = ParentTaskFolderPath(p)) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        if (!FStore->FindFolder(*it)) FStore->Folders.push_back(TStoredFolder2{*it, {}});
    FStore->Commit();
    folder = NewTaskFolder(FStore, full);
    return kSOk;
}

HResult TMemTaskFolder::DeleteFolder(const TBstr& name, int32_t flags) {
    if (HResult hr = Call("ITaskFolder.DeleteFolder", CallArg(name) + ", " + CallArg(flags)))
        return hr;
    std::string full = Resolve(name);
    auto& all = FStore->Folders;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!SameText(all[i].Path, full) || full == "\\") continue;
        if (HasSubfolders(full) || !all[i].Tasks.empty()) return kEDirNotEmpty;
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
        FStore->Commit();
        return kSOk;
    }
    return kEFileNotFound;
}

HResult TMemTaskFolder::GetTasks(int32_t flags, TPtr<IRegisteredTaskCollection>& tasks) {
    tasks.reset();
    if (HResult hr = Call("ITaskFolder.GetTasks", CallArg(flags))) return hr;
    TStoredFolder2* folder = FStore->FindFolder(FPath);
    if (!folder) return kEFileNotFound;
    std::vector<TPtr<IRegisteredTask>> list;
    for (auto& t : folder->Tasks)
        if ((flags & kTaskEnumHidden) != 0 || !t.Definition.Hidden)
            list.push_back(NewRegisteredTask(FStore, FPath, t.Name));
    tasks = std::make_shared<TMemListCollection<IRegisteredTaskCollection, IRegisteredTask>>(
        FStore, std::move(list), "IRegisteredTaskCollection");
    return kSOk;
}

HResult TMemTaskFolder::DeleteTask(const TBstr& name, int32_t flags) {
    if (HResult hr = Call("ITaskFolder.DeleteTask", CallArg(name) + ", " + CallArg(flags)))
        return hr;
    TStoredFolder2* folder = FStore->FindFolder(FPath);
    if (!folder) return kEFileNotFound;
    for (size_t i = 0; i < folder->Tasks.size(); ++i) {
        if (!SameText(folder->Tasks[i].Name, name)) continue;
        folder->Tasks.erase(folder->Tasks.begin() + static_cast<std::ptrdiff_t>(i));
        FStore->Commit();
        return kSOk;
    }
    return kEFileNotFound;
}

HResult TMemTaskFolder::RegisterTaskDefinition(const TBstr& path,
                                               const TPtr<ITaskDefinition>& definition,
                                               int32_t flags, const TVariant& userId,
                                               const TVariant& password, int32_t logonType,
                                               const TVariant& sddl, TPtr<IRegisteredTask>& task) {
    task.reset();
    std::string args = CallArg(path) + ", " + CallArg(flags) + ", " + CallArg(userId) + ", " +
                       CallArg(password) + ", " + CallArg(logonType) + ", " + CallArg(sddl);
    if (HResult hr = Call("ITaskFolder.RegisterTaskDefinition", args)) return hr;
    const TStoredDefinition2* def = StoredDefinitionOf(definition);
    TStoredFolder2* folder = FStore->FindFolder(FPath);
    if (!def || !folder) return kEInvalidArg;
    if (path.empty() || path.find_first_of("\\/") != std::string::npos) return kEInvalidArg;
    for (auto& a : def->Actions)
        if (a.Type == 0 && a.Path.empty()) return kENoActionPath;
    TStoredTask2* existing = FStore->FindTask(FPath, path);
    if (existing && (flags & kTaskUpdate) == 0) return kEAlreadyExists;
    if (!existing && (flags & kTaskCreate) == 0) return kEFileNotFound;
    TStoredDefinition2 stored = *def;
    if (!userId.IsNull) stored.UserId = userId.Text;
    if (stored.UserId.empty()) stored.UserId = FStore->DefaultUser;
    stored.LogonType = logonType;
    std::string name = path;
    if (existing) {
        name = existing->Name;
        existing->Definition = stored;
    } else {
        folder->Tasks.push_back(TStoredTask2{path, stored});
    }
    FStore->Commit();
    task = NewRegisteredTask(FStore, FPath, name);
    return kSOk;
}

}  // namespace

TPtr<ITaskFolder> NewTaskFolder(TStore store, std::string path) {
    return std::make_shared<TMemTaskFolder>(std::move(store), std::move(path));
}

TPtr<IRegisteredTask> NewRegisteredTask(TStore store, std::string folder, std::string name) {
    return std::make_shared<TMemRegisteredTask>(std::move(store), std::move(folder),
                                                std::move(name));
}

}  // namespace platform::standin
