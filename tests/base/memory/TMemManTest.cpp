// The memory registry: records, type checks, report texts and the teardown report.
#include "base/memory/TMemMan.h"

#include "platform/classes/Application.h"
#include "platform/classes/Format.h"

#include "support/ScopedState.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

struct Probe : TObject {
    explicit Probe(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~Probe() override
    {
        if (destroyed_ != nullptr)
            *destroyed_ = true;
    }
    bool* destroyed_;
};

struct Part : TComponent {
    using TComponent::TComponent;
};

// Classes whose allocation is always refused, as when the heap is exhausted.
struct Refused : TObject {
    static void* operator new(std::size_t, const std::nothrow_t&) noexcept { return nullptr; }
};
struct RefusedPart : TComponent {
    using TComponent::TComponent;
    static void* operator new(std::size_t, const std::nothrow_t&) noexcept { return nullptr; }
};

std::string Hex(const void* p) { return Format("%08x", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(p))); }
std::string Hex(std::uintptr_t v) { return Format("%08x", static_cast<unsigned>(v)); }

class TMemManTest : public ::testing::Test {
protected:
    void Listen()
    {
        man.OnError = [this](TObject* sender, const AnsiString& message) {
            EXPECT_EQ(sender, &man);
            errors.push_back(message);
        };
    }

    TMemMan man{nullptr};
    std::vector<std::string> errors;
};

TEST_F(TMemManTest, AllocRecordsAZeroFilledBlockAndFreeReleasesIt)
{
    std::vector<TMemPointer> added;
    man.OnAddPointer = [&](TObject*, TMemPointer record) { added.push_back(record); };
    int* block = man.Alloc<int>(10);
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(block[i], 0);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].type, mtBlock);
    EXPECT_EQ(added[0].pointer, block);
    EXPECT_EQ(added[0].size, 10 * sizeof(int));
    EXPECT_EQ(added[0].caller, 0u) << "no OnError, no caller address";

    man.Free(block);
    EXPECT_EQ(block, nullptr);
    EXPECT_TRUE(man.Records().empty());
}

TEST_F(TMemManTest, CreateAndDeleteAnObject)
{
    Probe* probe = man.Create<Probe>();
    ASSERT_NE(probe, nullptr);
    ASSERT_EQ(man.Records().size(), 1u);
    EXPECT_EQ(man.Records()[0].type, mtObject);
    EXPECT_EQ(man.Records()[0].size, sizeof(Probe));
    bool destroyed = false;
    probe->destroyed_ = &destroyed;
    man.Delete(probe);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(probe, nullptr);
}

TEST_F(TMemManTest, CreateVCLOwnsTheComponentByTheRegistrysOwner)
{
    TComponent form(nullptr);
    TMemMan owned(&form);
    Part* part = owned.CreateVCL<Part>();
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->Owner(), &form);
    owned.Delete(part);
    EXPECT_EQ(form.ComponentCount(), 1) << "only the registry itself is left";
}

TEST_F(TMemManTest, NullReleasesDoNothing)
{
    Listen();
    int* block = nullptr;
    Probe* probe = nullptr;
    man.Free(block);
    man.Delete(probe);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TMemManTest, AFailedMakeReportsItsCallerAndRecordsNothing)
{
    Listen();
    struct Case {
        const char* report;
        std::function<void*()> make;
    };
    const Case cases[] = {
        // A byte size past size_t is refused as the heap refuses a request it cannot meet.
        {"AllocErr", [&] { return static_cast<void*>(man.Alloc<std::uint64_t>(ULONG_MAX / 2)); }},
        {"CreateErr", [&] { return static_cast<void*>(man.Create<Refused>()); }},
        {"CreateVCLErr", [&] { return static_cast<void*>(man.CreateVCL<RefusedPart>()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report);
        errors.clear();
        EXPECT_EQ(c.make(), nullptr);
        EXPECT_TRUE(man.Records().empty());
        ASSERT_EQ(errors.size(), 1u);
        const std::string prefix = std::string(c.report) + " Call(";
        EXPECT_EQ(errors[0].rfind(prefix, 0), 0u) << errors[0];
        EXPECT_EQ(errors[0].size(), prefix.size() + 9) << "eight hex digits and the bracket: " << errors[0];
        EXPECT_NE(errors[0], prefix + "00000000)") << "OnError assigned: the calling site is named";
    }
}

TEST_F(TMemManTest, AddPtrRecordsAreAcceptedByDeleteAndFree)
{
    Listen();
    auto* probe = new Probe; // made elsewhere, as the display makes its surfaces
    man.AddPtr(probe);
    EXPECT_EQ(man.Records()[0].type, mtExternal);
    EXPECT_EQ(man.Records()[0].size, 0u);
    man.Delete(probe);
    EXPECT_EQ(probe, nullptr);

    char* raw = static_cast<char*>(std::malloc(4));
    man.AddPtr(raw);
    man.Free(raw);
    EXPECT_EQ(raw, nullptr);
    EXPECT_TRUE(errors.empty());
}

TEST_F(TMemManTest, DeleteOfABlockIsRefusedAsTypeDiffers)
{
    Listen();
    char* block = man.Alloc<char>(16);
    const std::uintptr_t made = man.Records()[0].caller;
    EXPECT_NE(made, 0u) << "OnError assigned: the caller address is recorded";
    struct Raw : TObject {};
    Raw* wrong = reinterpret_cast<Raw*>(block);
    man.Delete(wrong);
    EXPECT_EQ(wrong, reinterpret_cast<Raw*>(block)) << "the pointer is not cleared";
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("TypeDiffers " + Hex(block) + ":Create(" + Hex(made) + ") Delete(", 0), 0u) << errors[0];
    EXPECT_EQ(man.Records().size(), 1u) << "the record stays";
    man.Free(block);
    EXPECT_EQ(block, nullptr);
}

TEST_F(TMemManTest, SecondReleaseIsNotFound)
{
    Listen();
    char* block = man.Alloc<char>(1);
    char* copy = block;
    man.Free(block);
    man.Free(copy);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("Pointer is not found Delete(", 0), 0u);
    EXPECT_EQ(errors[0].size(), std::string("Pointer is not found Delete(12345678)").size());
    EXPECT_NE(copy, nullptr) << "a refused release leaves the pointer alone";
}

TEST_F(TMemManTest, CallerIsZeroWhenOnErrorWasUnassignedAtTheCall)
{
    char* block = man.Alloc<char>(1);
    Listen();
    EXPECT_EQ(man.Records()[0].caller, 0u);
    man.Free(block);
}

TEST_F(TMemManTest, ReleaseRemovesTheFirstOfTwoRecordsWithOnePointer)
{
    char* block = man.Alloc<char>(8);
    man.AddPtr(block);
    ASSERT_EQ(man.Records().size(), 2u);
    char* copy = block;
    man.Free(copy);
    ASSERT_EQ(man.Records().size(), 1u);
    EXPECT_EQ(man.Records()[0].type, mtExternal);
    EXPECT_TRUE(man.DelPointerList({mtObject, block, 0, 0}));
}

TEST(TMemManTeardown, ReportsLiveRecordsNewestFirst)
{
    std::vector<std::string> errors;
    std::vector<void*> notReleased;
    std::vector<std::unique_ptr<int>> blocks;
    {
        TMemMan man(nullptr);
        man.OnError = [&](TObject*, const AnsiString& message) { errors.push_back(message); };
        man.OnNotRelease = [&](TObject*, TMemPointer record) { notReleased.push_back(record.pointer); };
        for (int i = 0; i < 3; ++i) {
            blocks.push_back(std::make_unique<int>(i));
            man.AddPtr(blocks.back().get());
        }
    }
    ASSERT_EQ(errors.size(), 3u);
    ASSERT_EQ(notReleased.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const void* expected = blocks[static_cast<std::size_t>(2 - i)].get();
        EXPECT_EQ(notReleased[static_cast<std::size_t>(i)], expected);
        EXPECT_EQ(errors[static_cast<std::size_t>(i)].rfind("NotRelease " + Hex(expected) + ":Call(", 0), 0u);
    }
}

TEST(TMemManTeardown, AHandlerExceptionIsShownAndTheLoopGoesOn)
{
    int calls = 0;
    TestSupport::CapturedApplication application;
    std::vector<std::unique_ptr<int>> blocks;
    {
        TMemMan man(nullptr);
        man.OnNotRelease = [&](TObject*, TMemPointer) {
            ++calls;
            throw std::runtime_error("handler failed");
        };
        for (int i = 0; i < 2; ++i) {
            blocks.push_back(std::make_unique<int>(i));
            man.AddPtr(blocks.back().get());
        }
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(application.shown, (std::vector<std::string>{"handler failed", "handler failed"}));
}

} // namespace
