// The in-memory Task Scheduler 2.0 service and folders (see taskscheduler_memory.h).
#pragma once
#include "platform/taskscheduler_memory2.h"

namespace platform {

// The tasks or subfolders a folder listed when asked: items 1 … count, named `face` in the
// recording.
template <class ICollection, class IItem>
class TMemListCollection : public ICollection, TMemoryObject {
public:
    TMemListCollection(std::shared_ptr<TMemoryTaskStore> s, std::vector<TPtr<IItem>> items,
                       const char* face)
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

using TMemTaskCollection = TMemListCollection<IRegisteredTaskCollection, IRegisteredTask>;
using TMemFolderCollection = TMemListCollection<ITaskFolderCollection, ITaskFolder>;

class TMemTaskFolder : public ITaskFolder, TMemoryObject {
public:
    TMemTaskFolder(std::shared_ptr<TMemoryTaskStore> s, std::string path)
        : TMemoryObject(std::move(s)), FPath(std::move(path)) {}

    HResult get_Path(TBstr& path) override {
        if (HResult hr = Call("ITaskFolder.get_Path")) return hr;
        path = FPath;
        return kSOk;
    }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) override {
        folder.reset();
        if (HResult hr = Call("ITaskFolder.GetFolder", CallArg(path))) return hr;
        TStoredFolder2* found = FStore->FindFolder(Resolve(path));
        if (!found) return kEFileNotFound;
        folder = std::make_shared<TMemTaskFolder>(FStore, found->Path);
        return kSOk;
    }
    HResult GetFolders(int32_t flags, TPtr<ITaskFolderCollection>& folders) override {
        folders.reset();
        if (HResult hr = Call("ITaskFolder.GetFolders", CallArg(flags))) return hr;
        std::vector<TPtr<ITaskFolder>> list;
        for (auto& f : FStore->Folders)
            if (f.Path != "\\" && SameText(ParentTaskFolderPath(f.Path), FPath))
                list.push_back(std::make_shared<TMemTaskFolder>(FStore, f.Path));
        folders = std::make_shared<TMemFolderCollection>(FStore, std::move(list),
                                                         "ITaskFolderCollection");
        return kSOk;
    }
    HResult CreateFolder(const TBstr& name, const TVariant& sddl,
                         TPtr<ITaskFolder>& folder) override {
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
        folder = std::make_shared<TMemTaskFolder>(FStore, full);
        return kSOk;
    }
    HResult DeleteFolder(const TBstr& name, int32_t flags) override {
        if (HResult hr = Call("ITaskFolder.DeleteFolder", CallArg(name) + ", " + CallArg(flags)))
            return hr;
        std::string full = Resolve(name);
        auto& all = FStore->Folders;
        for (size_t i = 0; i < all.size(); ++i) {
            if (!SameText(all[i].Path, full) || full == "\\") continue;
            for (auto& f : all)
                if (f.Path != "\\" && SameText(ParentTaskFolderPath(f.Path), full))
                    return HResultOf(0x80070091u);  // ERROR_DIR_NOT_EMPTY
            if (!all[i].Tasks.empty()) return HResultOf(0x80070091u);
            all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
            FStore->Commit();
            return kSOk;
        }
        return kEFileNotFound;
    }
    HResult GetTasks(int32_t flags, TPtr<IRegisteredTaskCollection>& tasks) override {
        tasks.reset();
        if (HResult hr = Call("ITaskFolder.GetTasks", CallArg(flags))) return hr;
        TStoredFolder2* folder = FStore->FindFolder(FPath);
        if (!folder) return kEFileNotFound;
        std::vector<TPtr<IRegisteredTask>> list;
        for (auto& t : folder->Tasks)
            if ((flags & 1) != 0 || !t.Definition.Hidden)
                list.push_back(std::make_shared<TMemRegisteredTask>(FStore, FPath, t.Name));
        tasks = std::make_shared<TMemTaskCollection>(FStore, std::move(list),
                                                     "IRegisteredTaskCollection");
        return kSOk;
    }
    HResult DeleteTask(const TBstr& name, int32_t flags) override {
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
    HResult RegisterTaskDefinition(const TBstr& path, const TPtr<ITaskDefinition>& definition,
                                   int32_t flags, const TVariant& userId, const TVariant& password,
                                   int32_t logonType, const TVariant& sddl,
                                   TPtr<IRegisteredTask>& task) override {
        task.reset();
        std::string args = CallArg(path) + ", " + CallArg(flags) + ", " + CallArg(userId) + ", " +
                           CallArg(password) + ", " + CallArg(logonType) + ", " + CallArg(sddl);
        if (HResult hr = Call("ITaskFolder.RegisterTaskDefinition", args)) return hr;
        auto* def = dynamic_cast<TMemTaskDefinition*>(definition.get());
        TStoredFolder2* folder = FStore->FindFolder(FPath);
        if (!def || !folder) return kEInvalidArg;
        if (path.empty() || path.find_first_of("\\/") != std::string::npos) return kEInvalidArg;
        for (auto& a : def->D->Actions)
            if (a.Type == 0 && a.Path.empty()) return HResultOf(0x80041319u);  // no action path
        TStoredTask2* existing = FStore->FindTask(FPath, path);
        if (existing && (flags & 4) == 0) return kEAlreadyExists;
        if (!existing && (flags & 2) == 0) return kEFileNotFound;
        TStoredDefinition2 stored = *def->D;
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
        task = std::make_shared<TMemRegisteredTask>(FStore, FPath, name);
        return kSOk;
    }

private:
    std::string Resolve(const std::string& path) const {
        if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
            return NormalizeTaskFolderPath(path);
        return NormalizeTaskFolderPath((FPath == "\\" ? "" : FPath) + "\\" + path);
    }
    std::string FPath;
};

class TMemTaskService : public ITaskService, TMemoryObject {
public:
    explicit TMemTaskService(std::shared_ptr<TMemoryTaskStore> s) : TMemoryObject(std::move(s)) {}
    HResult Connect(const TVariant& server, const TVariant& user, const TVariant& domain,
                    const TVariant& password) override {
        std::string args = CallArg(server) + ", " + CallArg(user) + ", " + CallArg(domain) + ", " +
                           CallArg(password);
        if (HResult hr = Call("ITaskService.Connect", args)) return hr;
        FConnected = true;
        return kSOk;
    }
    HResult GetFolder(const TBstr& path, TPtr<ITaskFolder>& folder) override {
        folder.reset();
        if (HResult hr = Call("ITaskService.GetFolder", CallArg(path))) return hr;
        if (!FConnected) return HResultOf(0x80070000u | 1247u);  // not connected
        TStoredFolder2* found = FStore->FindFolder(path);
        if (!found) return kEFileNotFound;
        folder = std::make_shared<TMemTaskFolder>(FStore, found->Path);
        return kSOk;
    }
    HResult NewTask(uint32_t flags, TPtr<ITaskDefinition>& definition) override {
        definition.reset();
        if (HResult hr = Call("ITaskService.NewTask", CallArg(flags))) return hr;
        if (!FConnected) return HResultOf(0x80070000u | 1247u);
        definition =
            std::make_shared<TMemTaskDefinition>(FStore, std::make_shared<TStoredDefinition2>());
        return kSOk;
    }

private:
    bool FConnected = false;
};

}  // namespace platform
