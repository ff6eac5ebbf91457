// TMemMan: the memory registry through which objects and raw blocks are made and released.
#include "base/memory/TMemMan.h"

#include "platform/classes/Application.h"
#include "platform/classes/Exception.h"
#include "platform/classes/Format.h"

#include <algorithm>

namespace {

// Length of the near call whose return address the templates see.
constexpr std::uintptr_t kCallLength = 5;

// Report texts print the low 32 bits of an address.
unsigned Low32(std::uintptr_t value) { return static_cast<unsigned>(value & 0xFFFFFFFFu); }

} // namespace

TMemMan::TMemMan(TComponent* owner) : TComponent(owner) {}

TMemMan::~TMemMan()
{
    if (OnError || OnNotRelease) {
        // Newest first; a handler's exception is shown and the next record follows.
        while (!records_.empty()) {
            const TMemPointer last = records_.back();
            try {
                if (OnError)
                    OnError(this, Format("NotRelease %08x:Call(%08x)", Low32(reinterpret_cast<std::uintptr_t>(last.pointer)),
                                         Low32(last.caller)));
                if (OnNotRelease)
                    OnNotRelease(this, last);
            } catch (const std::exception& error) {
                Application().ShowException(error);
            } catch (...) {
                Application().ShowException(Exception("Unknown exception"));
            }
            records_.pop_back();
        }
    }
}

bool TMemMan::AddPointerList(TMemPointer record)
{
    {
        const std::lock_guard<std::mutex> lock(recordsLock_);
        records_.push_back(record);
    }
    if (OnAddPointer)
        OnAddPointer(this, record);
    return true;
}

bool TMemMan::DelPointerList(TMemPointer record)
{
    bool listed = false;
    TMemPointer refused;
    {
        const std::lock_guard<std::mutex> lock(recordsLock_);
        const auto found = std::find_if(records_.begin(), records_.end(),
                                        [&](const TMemPointer& entry) { return entry.pointer == record.pointer; });
        if (found != records_.end() && (found->type == mtExternal || found->type == record.type)) {
            records_.erase(found);
            return true;
        }
        listed = found != records_.end();
        if (listed)
            refused = *found;
    }
    // Reported outside the lock: a handler may use the registry.
    if (!listed) {
        ReportError("Pointer is not found Delete(%08x)", record.caller);
    } else if (OnError) {
        OnError(this, Format("TypeDiffers %08x:Create(%08x) Delete(%08x)",
                             Low32(reinterpret_cast<std::uintptr_t>(refused.pointer)), Low32(refused.caller),
                             Low32(record.caller)));
    }
    return false;
}

std::vector<TMemPointer> TMemMan::Records() const
{
    const std::lock_guard<std::mutex> lock(recordsLock_);
    return records_;
}

std::uintptr_t TMemMan::CallerOf(void* returnAddress) const
{
    return OnError ? reinterpret_cast<std::uintptr_t>(returnAddress) - kCallLength : 0;
}

void TMemMan::ReportError(const char* format, std::uintptr_t caller)
{
    if (OnError)
        OnError(this, Format(format, Low32(caller)));
}
