#include "platform/Observers.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform {
namespace {

TEST(ObserversTest, ObserversAreToldInTheOrderTheyRegisteredUntilTheirOwnScopeEnds) {
    Observers<int> event;
    std::string told;
    Subscription first = event.subscribe([&](int n) { told += "a" + std::to_string(n); });
    {
        const Subscription second =
            event.subscribe([&](int n) { told += "b" + std::to_string(n); });
        Subscription third = event.subscribe([&](int n) { told += "c" + std::to_string(n); });
        event.tell(1);
        // Moved, a registration stays one: it ends once, with its last owner.
        std::optional<Subscription> moved(std::move(third));
        event.tell(2);
        moved.reset();
        event.tell(3);
    }
    event.tell(4);
    first = event.subscribe([&](int) { told += "d"; });
    event.tell(5);
    EXPECT_EQ(told, "a1b1c1a2b2c2a3b3a4d");
}

TEST(ObserversTest, AnObserverMayEndRegistrationsWhileTheEventIsTold) {
    Observers<> event;
    int first = 0;
    int second = 0;
    Subscription later;
    Subscription self = event.subscribe([&] {
        ++first;
        self.end();
        later.end();
    });
    later = event.subscribe([&] { ++second; });
    // Registered while the event is told: seen from the next one on.
    std::optional<Subscription> added;
    const Subscription adder = event.subscribe([&] {
        if (!added)
            added = event.subscribe([&] { ++second; });
    });
    event.tell();
    event.tell();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

// An observer that throws ends the telling all the same: the registrations ended meanwhile are
// dropped (with what they hold), and one ended afterwards goes at once.
TEST(ObserversTest, AnObserverThatThrowsLeavesNoEndedRegistrationBehind) {
    Observers<> event;
    const auto held = std::make_shared<int>(0);
    const auto heldAfter = std::make_shared<int>(0);
    Subscription ended = event.subscribe([held] {});
    const Subscription thrower = event.subscribe([&] {
        ended.end();
        throw std::runtime_error("observer failed");
    });
    EXPECT_THROW(event.tell(), std::runtime_error);
    EXPECT_EQ(held.use_count(), 1);
    Subscription after = event.subscribe([heldAfter] {});
    after.end();
    EXPECT_EQ(heldAfter.use_count(), 1);
}

}  // namespace
}  // namespace platform
