// TMemMan: the memory registry through which objects and raw blocks are made and released.
//
// The registry is a ledger, not an allocator: it keeps one TMemPointer per live block or object,
// refuses a release of what it does not list or listed as another kind, and reports what is still
// listed when it is destroyed. It never frees anything on its own.
//
// Threads: any thread may make and release (the frame threads release sounds while the logic
// thread makes objects); the record list is guarded by its own lock, which is never held while an
// event handler, a constructor or a destructor runs. Construction and destruction of the registry
// itself happen while no other thread uses it.
#pragma once

#include "platform/classes/Component.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <new>
#include <type_traits>
#include <vector>

// One registry record.
struct TMemPointer {
    // 0: recorded from outside by AddPtr (any release kind accepted); 1: object; 3: raw block.
    std::uint8_t type = 0;
    void* pointer = nullptr;
    // Address of the calling instruction when OnError was assigned at the call, else 0.
    std::uintptr_t caller = 0;
    // Bytes: n * sizeof(T) for Alloc, sizeof(T) for objects and for a Free request, 0 for AddPtr.
    std::size_t size = 0;
};

inline constexpr std::uint8_t mtExternal = 0;
inline constexpr std::uint8_t mtObject = 1;
inline constexpr std::uint8_t mtBlock = 3;

class TMemMan : public TComponent {
public:
    using TErrorEvent = std::function<void(TObject* sender, const AnsiString& message)>;
    using TPointerEvent = std::function<void(TObject* sender, TMemPointer record)>;

    explicit TMemMan(TComponent* owner);
    ~TMemMan() override;

    // Appends a record and reports it through OnAddPointer; always true.
    bool AddPointerList(TMemPointer record);
    // Removes the first record with the same pointer when its type is 0 or equals record.type.
    bool DelPointerList(TMemPointer record);

    // A copy of the records, oldest first.
    std::vector<TMemPointer> Records() const;

    // A zero-filled block of n elements from the C heap, recorded; null on failure.
    template <typename T> [[gnu::noinline]] T* Alloc(unsigned long n);
    // Releases a block made by Alloc and clears p; a refused release leaves p and the block alone.
    template <typename T> [[gnu::noinline]] void Free(T*& p);
    // A new T by its default constructor, recorded; null on failure. A constructor's exception
    // reaches the caller.
    template <typename T> [[gnu::noinline]] T* Create();
    // A new component T owned by this registry's owner, recorded; null on failure.
    template <typename T> [[gnu::noinline]] T* CreateVCL();
    // Destroys an object made by Create, CreateVCL or recorded by AddPtr, and clears p; a refused
    // release leaves p and the object alone.
    template <typename T> [[gnu::noinline]] void Delete(T*& p);
    // Records an object made elsewhere so that a later Delete or Free of it is accepted.
    template <typename T> [[gnu::noinline]] void AddPtr(T* p);

    TErrorEvent OnError;
    TPointerEvent OnAddPointer;
    TPointerEvent OnNotRelease;

private:
    // The calling instruction's address from a return address, or 0 when nobody listens.
    std::uintptr_t CallerOf(void* returnAddress) const;
    void ReportError(const char* format, std::uintptr_t caller);

    mutable std::mutex recordsLock_;
    std::vector<TMemPointer> records_; // guarded by recordsLock_
};

template <typename T> T* TMemMan::Alloc(unsigned long n)
{
    static_assert(std::is_trivially_copyable_v<T>, "Alloc makes raw blocks of plain data");
    const std::uintptr_t caller = CallerOf(__builtin_return_address(0));
    // A request for nothing still yields a distinct, releasable block. A count whose byte size does
    // not fit in size_t fails here rather than in the C heap, the same way as a refused request.
    std::size_t bytes = 0;
    void* block = __builtin_mul_overflow(n, sizeof(T), &bytes) ? nullptr : std::calloc(n == 0 ? 1 : n, sizeof(T));
    if (block == nullptr) {
        ReportError("AllocErr Call(%08x)", caller);
        return nullptr;
    }
    AddPointerList({mtBlock, block, caller, bytes});
    return static_cast<T*>(block);
}

template <typename T> void TMemMan::Free(T*& p)
{
    if (p == nullptr)
        return;
    const std::uintptr_t caller = CallerOf(__builtin_return_address(0));
    if (!DelPointerList({mtBlock, const_cast<std::remove_cv_t<T>*>(p), caller, sizeof(T)}))
        return;
    std::free(const_cast<std::remove_cv_t<T>*>(p));
    p = nullptr;
}

template <typename T> T* TMemMan::Create()
{
    const std::uintptr_t caller = CallerOf(__builtin_return_address(0));
    T* object = new (std::nothrow) T();
    if (object == nullptr) {
        ReportError("CreateErr Call(%08x)", caller);
        return nullptr;
    }
    AddPointerList({mtObject, object, caller, sizeof(T)});
    return object;
}

template <typename T> T* TMemMan::CreateVCL()
{
    const std::uintptr_t caller = CallerOf(__builtin_return_address(0));
    T* object = new (std::nothrow) T(Owner());
    if (object == nullptr) {
        ReportError("CreateVCLErr Call(%08x)", caller);
        return nullptr;
    }
    AddPointerList({mtObject, object, caller, sizeof(T)});
    return object;
}

template <typename T> void TMemMan::Delete(T*& p)
{
    if (p == nullptr)
        return;
    const std::uintptr_t caller = CallerOf(__builtin_return_address(0));
    if (!DelPointerList({mtObject, p, caller, sizeof(T)}))
        return;
    delete p;
    p = nullptr;
}

template <typename T> void TMemMan::AddPtr(T* p)
{
    if (p == nullptr)
        return;
    AddPointerList({mtExternal, p, CallerOf(__builtin_return_address(0)), 0});
}
