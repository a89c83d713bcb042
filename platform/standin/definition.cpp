// A 2.0 task definition in memory and the parts that are plain properties of it: registration
// info, principal, settings and idle settings. All of them are views of one shared record.
#include "platform/standin/objects.h"

namespace platform::standin {

namespace {

class TMemRegistrationInfo : public IRegistrationInfo, TMemoryObject {
public:
    TMemRegistrationInfo(TStore s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_Author(TBstr& value) override {
        return Get("IRegistrationInfo.get_Author", D->Author, value);
    }
    HResult put_Author(const TBstr& value) override {
        return Put("IRegistrationInfo.put_Author", D->Author, value);
    }
    HResult get_Description(TBstr& value) override {
        return Get("IRegistrationInfo.get_Description", D->Description, value);
    }
    HResult put_Description(const TBstr& value) override {
        return Put("IRegistrationInfo.put_Description", D->Description, value);
    }

private:
    TDefinitionData D;
};

class TMemPrincipal : public IPrincipal, TMemoryObject {
public:
    TMemPrincipal(TStore s, TDefinitionData d) : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_UserId(TBstr& value) override {
        return Get("IPrincipal.get_UserId", D->UserId, value);
    }
    HResult put_UserId(const TBstr& value) override {
        return Put("IPrincipal.put_UserId", D->UserId, value);
    }
    HResult get_RunLevel(int32_t& value) override {
        return Get("IPrincipal.get_RunLevel", D->RunLevel, value);
    }
    HResult put_RunLevel(const int32_t& value) override {
        return Put("IPrincipal.put_RunLevel", D->RunLevel, value);
    }
    HResult get_LogonType(int32_t& value) override {
        return Get("IPrincipal.get_LogonType", D->LogonType, value);
    }
    HResult put_LogonType(const int32_t& value) override {
        return Put("IPrincipal.put_LogonType", D->LogonType, value);
    }

private:
    TDefinitionData D;
};

class TMemIdleSettings : public IIdleSettings, TMemoryObject {
public:
    TMemIdleSettings(TStore s, TDefinitionData d) : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_WaitTimeout(TBstr& value) override {
        return Get("IIdleSettings.get_WaitTimeout", D->WaitTimeout, value);
    }
    HResult put_WaitTimeout(const TBstr& value) override {
        return Put("IIdleSettings.put_WaitTimeout", D->WaitTimeout, value);
    }
    HResult get_StopOnIdleEnd(TVariantBool& value) override {
        return Get("IIdleSettings.get_StopOnIdleEnd", D->StopOnIdleEnd, value);
    }
    HResult put_StopOnIdleEnd(const TVariantBool& value) override {
        return Put("IIdleSettings.put_StopOnIdleEnd", D->StopOnIdleEnd, value);
    }
    HResult get_RestartOnIdle(TVariantBool& value) override {
        return Get("IIdleSettings.get_RestartOnIdle", D->RestartOnIdle, value);
    }
    HResult put_RestartOnIdle(const TVariantBool& value) override {
        return Put("IIdleSettings.put_RestartOnIdle", D->RestartOnIdle, value);
    }
    HResult get_IdleDuration(TBstr& value) override {
        return Get("IIdleSettings.get_IdleDuration", D->IdleDuration, value);
    }
    HResult put_IdleDuration(const TBstr& value) override {
        return Put("IIdleSettings.put_IdleDuration", D->IdleDuration, value);
    }

private:
    TDefinitionData D;
};

class TMemTaskSettings : public ITaskSettings, TMemoryObject {
public:
    TMemTaskSettings(TStore s, TDefinitionData d) : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_DisallowStartIfOnBatteries(TVariantBool& value) override {
        return Get("ITaskSettings.get_DisallowStartIfOnBatteries", D->DisallowStartIfOnBatteries,
                   value);
    }
    HResult put_DisallowStartIfOnBatteries(const TVariantBool& value) override {
        return Put("ITaskSettings.put_DisallowStartIfOnBatteries", D->DisallowStartIfOnBatteries,
                   value);
    }
    HResult get_StopIfGoingOnBatteries(TVariantBool& value) override {
        return Get("ITaskSettings.get_StopIfGoingOnBatteries", D->StopIfGoingOnBatteries, value);
    }
    HResult put_StopIfGoingOnBatteries(const TVariantBool& value) override {
        return Put("ITaskSettings.put_StopIfGoingOnBatteries", D->StopIfGoingOnBatteries, value);
    }
    HResult get_Enabled(TVariantBool& value) override {
        return Get("ITaskSettings.get_Enabled", D->Enabled, value);
    }
    HResult put_Enabled(const TVariantBool& value) override {
        return Put("ITaskSettings.put_Enabled", D->Enabled, value);
    }
    HResult get_Hidden(TVariantBool& value) override {
        return Get("ITaskSettings.get_Hidden", D->Hidden, value);
    }
    HResult put_Hidden(const TVariantBool& value) override {
        return Put("ITaskSettings.put_Hidden", D->Hidden, value);
    }
    HResult get_Priority(int32_t& value) override {
        return Get("ITaskSettings.get_Priority", D->Priority, value);
    }
    HResult put_Priority(const int32_t& value) override {
        return Put("ITaskSettings.put_Priority", D->Priority, value);
    }
    HResult get_RunOnlyIfIdle(TVariantBool& value) override {
        return Get("ITaskSettings.get_RunOnlyIfIdle", D->RunOnlyIfIdle, value);
    }
    HResult put_RunOnlyIfIdle(const TVariantBool& value) override {
        return Put("ITaskSettings.put_RunOnlyIfIdle", D->RunOnlyIfIdle, value);
    }
    HResult get_WakeToRun(TVariantBool& value) override {
        return Get("ITaskSettings.get_WakeToRun", D->WakeToRun, value);
    }
    HResult put_WakeToRun(const TVariantBool& value) override {
        return Put("ITaskSettings.put_WakeToRun", D->WakeToRun, value);
    }
    HResult get_AllowDemandStart(TVariantBool& value) override {
        return Get("ITaskSettings.get_AllowDemandStart", D->AllowDemandStart, value);
    }
    HResult put_AllowDemandStart(const TVariantBool& value) override {
        return Put("ITaskSettings.put_AllowDemandStart", D->AllowDemandStart, value);
    }
    HResult get_StartWhenAvailable(TVariantBool& value) override {
        return Get("ITaskSettings.get_StartWhenAvailable", D->StartWhenAvailable, value);
    }
    HResult put_StartWhenAvailable(const TVariantBool& value) override {
        return Put("ITaskSettings.put_StartWhenAvailable", D->StartWhenAvailable, value);
    }
    HResult get_RestartInterval(TBstr& value) override {
        return Get("ITaskSettings.get_RestartInterval", D->RestartInterval, value);
    }
    HResult put_RestartInterval(const TBstr& value) override {
        return Put("ITaskSettings.put_RestartInterval", D->RestartInterval, value);
    }
    HResult get_RestartCount(int32_t& value) override {
        return Get("ITaskSettings.get_RestartCount", D->RestartCount, value);
    }
    HResult put_RestartCount(const int32_t& value) override {
        return Put("ITaskSettings.put_RestartCount", D->RestartCount, value);
    }
    HResult get_ExecutionTimeLimit(TBstr& value) override {
        return Get("ITaskSettings.get_ExecutionTimeLimit", D->ExecutionTimeLimit, value);
    }
    HResult put_ExecutionTimeLimit(const TBstr& value) override {
        return Put("ITaskSettings.put_ExecutionTimeLimit", D->ExecutionTimeLimit, value);
    }
    HResult get_AllowHardTerminate(TVariantBool& value) override {
        return Get("ITaskSettings.get_AllowHardTerminate", D->AllowHardTerminate, value);
    }
    HResult put_AllowHardTerminate(const TVariantBool& value) override {
        return Put("ITaskSettings.put_AllowHardTerminate", D->AllowHardTerminate, value);
    }
    HResult get_MultipleInstances(int32_t& value) override {
        return Get("ITaskSettings.get_MultipleInstances", D->MultipleInstances, value);
    }
    HResult put_MultipleInstances(const int32_t& value) override {
        return Put("ITaskSettings.put_MultipleInstances", D->MultipleInstances, value);
    }
    HResult get_DeleteExpiredTaskAfter(TBstr& value) override {
        return Get("ITaskSettings.get_DeleteExpiredTaskAfter", D->DeleteExpiredTaskAfter, value);
    }
    HResult put_DeleteExpiredTaskAfter(const TBstr& value) override {
        return Put("ITaskSettings.put_DeleteExpiredTaskAfter", D->DeleteExpiredTaskAfter, value);
    }
    HResult get_Compatibility(int32_t& value) override {
        return Get("ITaskSettings.get_Compatibility", D->Compatibility, value);
    }
    HResult put_Compatibility(const int32_t& value) override {
        return Put("ITaskSettings.put_Compatibility", D->Compatibility, value);
    }
    HResult get_IdleSettings(TPtr<IIdleSettings>& idle) override {
        return HandOut("ITaskSettings.get_IdleSettings", {}, idle,
                       [&] { return std::make_shared<TMemIdleSettings>(FStore, D); });
    }

private:
    TDefinitionData D;
};

class TMemTaskDefinition : public ITaskDefinition, TMemoryObject {
public:
    TMemTaskDefinition(TStore s, TDefinitionData d)
        : TMemoryObject(std::move(s)), D(std::move(d)) {}
    HResult get_RegistrationInfo(TPtr<IRegistrationInfo>& out) override {
        return HandOut("ITaskDefinition.get_RegistrationInfo", {}, out,
                       [&] { return std::make_shared<TMemRegistrationInfo>(FStore, D); });
    }
    HResult get_Triggers(TPtr<ITriggerCollection>& out) override {
        return HandOut("ITaskDefinition.get_Triggers", {}, out,
                       [&] { return NewTriggerCollection(FStore, D); });
    }
    HResult get_Settings(TPtr<ITaskSettings>& out) override {
        return HandOut("ITaskDefinition.get_Settings", {}, out,
                       [&] { return std::make_shared<TMemTaskSettings>(FStore, D); });
    }
    HResult get_Principal(TPtr<IPrincipal>& out) override {
        return HandOut("ITaskDefinition.get_Principal", {}, out,
                       [&] { return std::make_shared<TMemPrincipal>(FStore, D); });
    }
    HResult get_Actions(TPtr<IActionCollection>& out) override {
        return HandOut("ITaskDefinition.get_Actions", {}, out,
                       [&] { return NewActionCollection(FStore, D); });
    }
    const TStoredDefinition2& Stored() const { return *D; }

private:
    TDefinitionData D;
};

}  // namespace

TPtr<ITaskDefinition> NewTaskDefinition(TStore store, TDefinitionData definition) {
    return std::make_shared<TMemTaskDefinition>(std::move(store), std::move(definition));
}

const TStoredDefinition2* StoredDefinitionOf(const TPtr<ITaskDefinition>& definition) {
    auto* ours = dynamic_cast<const TMemTaskDefinition*>(definition.get());
    return ours ? &ours->Stored() : nullptr;
}

}  // namespace platform::standin
