// TComponent: ownership, free notification, and the application hooks.
#include "platform/classes/Application.h"
#include "platform/classes/Component.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct Watcher : TComponent {
    Watcher(TComponent* owner, std::vector<TComponent*>* log, bool* destroyed = nullptr)
        : TComponent(owner), log_(log), destroyed_(destroyed)
    {
    }
    ~Watcher() override
    {
        if (destroyed_ != nullptr)
            *destroyed_ = true;
    }
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && log_ != nullptr)
            log_->push_back(component);
    }
    std::vector<TComponent*>* log_;
    bool* destroyed_;
};

TEST(TComponent, OwnerDestroysWhatItOwns)
{
    bool first = false;
    bool second = false;
    {
        TComponent owner(nullptr);
        new Watcher(&owner, nullptr, &first);
        auto* deleted = new Watcher(&owner, nullptr, &second);
        EXPECT_EQ(owner.ComponentCount(), 2);
        delete deleted; // leaves its owner's list
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_TRUE(second);
    }
    EXPECT_TRUE(first);
}

TEST(TComponent, FreeNotificationTellsTheOtherSide)
{
    std::vector<TComponent*> log;
    Watcher watcher(nullptr, &log);
    {
        TComponent watched(nullptr);
        watcher.FreeNotification(&watched);
        log.clear();
    }
    ASSERT_EQ(log.size(), 1u);

    log.clear();
    TComponent other(nullptr);
    watcher.FreeNotification(&other);
    watcher.RemoveFreeNotification(&other);
    EXPECT_TRUE(log.empty());
}

TEST(TComponent, OwnerIsToldOfInsertAndRemove)
{
    std::vector<TComponent*> log;
    Watcher owner(nullptr, &log);
    auto* child = new TComponent(&owner);
    owner.RemoveComponent(child);
    EXPECT_EQ(log, std::vector<TComponent*>{child});
    EXPECT_EQ(child->Owner(), nullptr);
    delete child;
}

// A single deletion is passed on to the other components of the owner; the owner's own batch
// destruction is not (they are Destroying and go too), but free notification still arrives.
TEST(TComponent, BatchDestructionTellsOnlyTheOwnerAndFreeNotifiedPeers)
{
    std::vector<TComponent*> ownerLog, siblingLog, peerLog;
    bool destroyingSeen = false;
    {
        Watcher owner(nullptr, &ownerLog);
        auto* sibling = new Watcher(&owner, &siblingLog);
        auto* peer = new Watcher(&owner, &peerLog);
        auto* single = new TComponent(&owner);
        auto* last = new TComponent(&owner);
        peer->FreeNotification(last);
        delete single;
        EXPECT_EQ(siblingLog, std::vector<TComponent*>{single});
        EXPECT_EQ(peerLog, std::vector<TComponent*>{single});
        siblingLog.clear();
        peerLog.clear();
        ownerLog.clear();
        EXPECT_FALSE(sibling->Destroying());
        struct Probe : TComponent {
            Probe(TComponent* owner, TComponent* other, bool* seen) : TComponent(owner), other_(other), seen_(seen) {}
            ~Probe() override { *seen_ = other_->Destroying(); }
            TComponent* other_;
            bool* seen_;
        };
        new Probe(&owner, sibling, &destroyingSeen);
        // Leaving the scope destroys the probe, then last, peer and sibling.
        (void)last;
    }
    EXPECT_TRUE(destroyingSeen);
    EXPECT_TRUE(siblingLog.empty());
    EXPECT_EQ(peerLog.size(), 1u) << "free notification of last";
}

// The removal is passed on over the live list, which a handler may change meanwhile.
TEST(TComponent, NotificationWalkSurvivesAHandlerThatRemovesComponents)
{
    struct Remover : TComponent {
        using TComponent::TComponent;
        void Notification(TComponent* component, TOperation operation) override
        {
            TComponent::Notification(component, operation);
            if (operation == opRemove && victim != nullptr)
                delete std::exchange(victim, nullptr);
        }
        TComponent* victim = nullptr;
    };
    std::vector<TComponent*> log;
    TComponent owner(nullptr);
    auto* watcher = new Watcher(&owner, &log);
    auto* remover = new Remover(&owner);
    auto* victim = new TComponent(&owner);
    auto* gone = new TComponent(&owner);
    remover->victim = victim;
    delete gone;
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(log, (std::vector<TComponent*>{victim, gone}));
    (void)watcher;
}

TEST(TApplication, HooksReceiveUtf8)
{
    TApplication application;
    std::string text;
    std::string caption;
    application.OnMessageBox = [&](const std::string& t, const std::string& c, int) {
        text = t;
        caption = c;
        return idNo;
    };
    // Shift_JIS "エラー".
    EXPECT_EQ(application.MessageBox("x", "\x83\x47\x83\x89\x81\x5B", mbYesNo, 932), idNo);
    EXPECT_EQ(caption, "エラー");
    application.OnMessageBox = nullptr;
    EXPECT_EQ(application.MessageBox("x", "y", mbYesNo), idYes) << "unhooked: the first button";
}

} // namespace
