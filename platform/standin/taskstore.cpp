// The store's lookups and its answers when nothing refuses, and the texts the recording shows.
#include "platform/standin/taskstore.h"

#include "platform/standin/objects.h"
#include "platform/text.h"

namespace platform {

std::string NormalizeTaskFolderPath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '/') c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\') continue;
        out += c;
    }
    if (out.empty() || out[0] != '\\') out.insert(out.begin(), '\\');
    if (out.size() > 1 && out.back() == '\\') out.pop_back();
    return out;
}

std::string ParentTaskFolderPath(const std::string& path) {
    size_t cut = path.rfind('\\');
    return cut == 0 || cut == std::string::npos ? "\\" : path.substr(0, cut);
}

std::string WorkItemBaseName(const std::string& name) {
    if (name.size() >= 4 && SameText(name.substr(name.size() - 4), ".job"))
        return name.substr(0, name.size() - 4);
    return name;
}

std::string TriggerRecordHex(const TTaskTriggerRecord& record) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (uint8_t b : record.ToBytes()) out += {digits[b >> 4], digits[b & 15]};
    return out;
}

bool TriggerRecordOfHex(const std::string& hex, TTaskTriggerRecord& record) {
    if (hex.size() != 2 * kTaskTriggerSize) return false;
    auto nibble = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    uint8_t bytes[kTaskTriggerSize];
    for (size_t i = 0; i < kTaskTriggerSize; ++i) {
        int hi = nibble(hex[2 * i]), lo = nibble(hex[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    record = TTaskTriggerRecord::FromBytes(bytes);
    return true;
}

HResult TMemoryTaskStore::OnCall(const std::string& call, const std::string& args) {
    (void)call;
    (void)args;
    return kSOk;
}

void TMemoryTaskStore::DescribeError(HResult hr, std::string& message, std::string& source) {
    source.clear();
    switch (static_cast<uint32_t>(hr)) {
        case 0x80070002u:
            message = "The system cannot find the file specified";
            break;
        case 0x80070050u:
            message = "The file exists";
            break;
        case 0x800700B7u:
            message = "Cannot create a file when that file already exists";
            break;
        case 0x80070057u:
            message = "The parameter is incorrect";
            break;
        case 0x80004002u:
            message = "No such interface supported";
            break;
        case 0x80004001u:
            message = "Not implemented";
            break;
        case 0x80070005u:
            message = "Access is denied";
            break;
        default:
            message = "Unspecified error";
    }
}

TStoredFolder2* TMemoryTaskStore::FindFolder(const std::string& path) {
    std::string want = NormalizeTaskFolderPath(path);
    for (auto& folder : Folders)
        if (SameText(folder.Path, want)) return &folder;
    return nullptr;
}

TStoredTask2* TMemoryTaskStore::FindTask(const std::string& folderPath, const std::string& name) {
    TStoredFolder2* folder = FindFolder(folderPath);
    if (!folder) return nullptr;
    for (auto& task : folder->Tasks)
        if (SameText(task.Name, name)) return &task;
    return nullptr;
}

TStoredWorkItem1* TMemoryTaskStore::FindWorkItem(const std::string& name) {
    std::string base = WorkItemBaseName(name);
    for (auto& item : WorkItems)
        if (SameText(item.Name, base)) return &item;
    return nullptr;
}

namespace standin {

std::string CallArg(const std::string& text) {
    return "\"" + text + "\"";
}

std::string CallArg(const TVariant& value) {
    return value.IsNull ? "null" : CallArg(value.Text);
}

std::string CallArg(int64_t value) {
    return std::to_string(value);
}

}  // namespace standin

}  // namespace platform
