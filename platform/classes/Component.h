// TObject and TComponent: the component model (owner destroys what it owns; free notification).
#pragma once

#include "platform/classes/AnsiString.h"

#include <functional>
#include <vector>

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
};

// An event is assigned when it holds a callable; callers test it before each call.
using TNotifyEvent = std::function<void(TObject* sender)>;

enum TOperation { opInsert, opRemove };

// A component is owned by at most one other component, which destroys it in its own destructor.
// Components made with an owner must be made with `new`; the owner (or whoever deletes it
// first) ends its life. Free notification tells a component when another one it refers to goes.
//
// An owner destroys its components as one batch, last made first: it marks them all Destroying
// first, and tells itself of each removal without passing it on to the others, which go too.
// So a component that keeps a pointer to another one asks for free notification, which is kept
// in every case; and a component whose peers are Destroying may skip work done for their sake.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    TComponent* Owner() const { return owner_; }
    // True once its owner has begun destroying its components (this one among them).
    bool Destroying() const { return destroying_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }

    // Asks for a call of Notification(this, opRemove) on `component` when this one is destroyed,
    // and the other way round.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    AnsiString Name;
    int Tag = 0;

protected:
    // Called when `component` is inserted into this one (on this owner only) or removed from it
    // (passed on to every owned component, except in the owner's batch destruction), or when a
    // component that asked for free notification is destroyed. Overrides must call the base.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void DestroyComponents();

    TComponent* owner_ = nullptr;
    bool destroying_ = false;
    bool destroyingComponents_ = false;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
};
