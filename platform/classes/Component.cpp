// TObject and TComponent: the component model (owner destroys what it owns; free notification).
#include "platform/classes/Component.h"

#include <algorithm>
#include <iterator>

namespace {

// Searches from the end: lists are emptied last entry first.
void EraseOne(std::vector<TComponent*>& list, TComponent* component)
{
    const auto it = std::find(list.rbegin(), list.rend(), component);
    if (it != list.rend())
        list.erase(std::next(it).base());
}

} // namespace

TComponent::TComponent(TComponent* owner)
{
    if (owner != nullptr)
        owner->InsertComponent(this);
}

TComponent::~TComponent()
{
    // Tell every component that asked; each notification removes the link in both directions.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        EraseOne(other->freeNotifies_, this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_ != nullptr)
        owner_->RemoveComponent(this);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (component == nullptr || component == this)
        return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    if (component == nullptr)
        return;
    EraseOne(freeNotifies_, component);
    EraseOne(component->freeNotifies_, this);
}

void TComponent::InsertComponent(TComponent* component)
{
    if (component->owner_ != nullptr)
        component->owner_->RemoveComponent(component);
    component->owner_ = this;
    components_.push_back(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    Notification(component, opRemove);
    EraseOne(components_, component);
    component->owner_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation != opRemove)
        return;
    RemoveFreeNotification(component);
    if (destroyingComponents_)
        return;
    // By index over the live list, last first: a handler may add or remove components.
    for (std::size_t i = components_.size(); i-- > 0;) {
        if (i >= components_.size())
            continue;
        TComponent* child = components_[i];
        if (child != component)
            child->Notification(component, operation);
    }
}

void TComponent::DestroyComponents()
{
    destroyingComponents_ = true;
    for (TComponent* component : components_)
        component->destroying_ = true;
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        Notification(last, opRemove);
        delete last;
    }
}
