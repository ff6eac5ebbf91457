// RegistryHold: keeps an object made through the memory registry until it is handed on, and
// deletes it through the registry when it is not (a failure path of a loader).
#pragma once

#include "base/memory/TMemMan.h"
#include "shell/GameGlobals.h"

template <typename T> class RegistryHold {
public:
    explicit RegistryHold(T* object) : object_(object) {}
    ~RegistryHold() { Free(); }
    RegistryHold(RegistryHold&& other) noexcept : object_(other.release()) {}
    RegistryHold& operator=(RegistryHold&& other) noexcept
    {
        if (this != &other) {
            Free();
            object_ = other.release();
        }
        return *this;
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the object on; the hold forgets it.
    T* release()
    {
        T* object = object_;
        object_ = nullptr;
        return object;
    }

private:
    void Free()
    {
        if (object_ != nullptr && MemMan != nullptr)
            MemMan->Delete(object_);
    }

    T* object_;
};

// A new T made through the registry (owned by the registry's owner), or null without a registry.
template <typename T> RegistryHold<T> MakeRegistered()
{
    return RegistryHold<T>(MemMan != nullptr ? MemMan->CreateVCL<T>() : nullptr);
}
