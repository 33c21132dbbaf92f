#include "controller/card_events.h"
#include "controller/tests/shell_test_support.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <thread>

namespace korvex {
namespace {

CardEvent event(uint8_t code, std::array<uint8_t, 8> data = {}) {
    CardEvent e;
    e.code = code;
    e.data = data;
    return e;
}

TEST(CardEventRouting, EachReportReachesItsView) {
    using T = RoutedEvent::Target;
    struct Case {
        CardEvent in;
        std::vector<std::tuple<T, int, int>> out;
    };
    const Case cases[] = {
        {event(0, {0, 0x3B}), {{T::Graph, 6, 0x3B}}},
        {event(1, {3, 6}), {{T::Graph, 1, 0}, {T::Buttons, 9, 0}}},
        {event(1, {6, 3}), {{T::Graph, 2, 0}, {T::Buttons, 9, 0}}},
        {event(1, {4, 3}), {{T::Buttons, 9, 0}}},  // resumed only after a short-circuit back
        {event(1, {7, 9}), {{T::Graph, 3, 3}, {T::Buttons, 9, 0}}},
        {event(1, {3, 9}), {{T::Graph, 3, 2}, {T::Buttons, 9, 0}}},
        {event(1, {4, 9}), {{T::Graph, 3, 1}, {T::Buttons, 9, 0}}},
        {event(1, {5, 9}), {{T::Graph, 3, 0}, {T::Buttons, 9, 0}}},
        {event(1, {3, 11}), {{T::Graph, 4, 2}, {T::Buttons, 9, 0}}},
        {event(1, {6, 11}), {{T::Graph, 4, 0}, {T::Buttons, 9, 0}}},
        {event(1, {0, 10}), {{T::Graph, 5, 0}, {T::Buttons, 9, 0}}},
        {event(1, {0, 8}), {{T::Graph, 7, 0}, {T::Buttons, 9, 0}}},
        {event(1, {0, 16}), {{T::Graph, 8, 0}, {T::Buttons, 9, 0}}},
        {event(1, {0, 77}), {{T::Buttons, 9, 0}}},
        {event(2, {0, 0, 0, 0, 0x10, 0x27, 0, 0}), {{T::CodeList, 10, 10000}}},
        {event(4, {0, 0, 5}), {{T::StatusPanel, 11, 5}}},
        {event(3), {}},
        {event(9), {}},
    };
    for (const Case& c : cases) {
        const auto routed = routeCardEvent(c.in);
        ASSERT_EQ(routed.size(), c.out.size()) << int(c.in.code) << "/" << int(c.in.data[1]);
        for (std::size_t i = 0; i < routed.size(); ++i) {
            EXPECT_EQ(routed[i].target, std::get<0>(c.out[i]));
            EXPECT_EQ(routed[i].kind, std::get<1>(c.out[i]));
            EXPECT_EQ(routed[i].argument, std::get<2>(c.out[i]));
        }
    }
}

TEST(CardEventRouting, EventsFromOtherThreadsAreHeldUntilReleasedAndKeepTheirOrder) {
    testing::ensureApplication();
    CardEventRouter router;
    std::vector<int> segments;
    QObject::connect(&router, &CardEventRouter::segmentReached, [&](int s) { segments.push_back(s); });
    router.hold();
    const auto hook = router.hook();
    std::thread reader([&] {
        for (uint8_t i = 1; i <= 5; ++i)
            hook(event(2, {0, 0, 0, 0, i, 0, 0, 0}));
        hook(event(0, {0, 0x22}));
    });
    reader.join();
    // The link failure is known at once, before anything reaches the window.
    EXPECT_TRUE(router.takeLinkFailure());
    EXPECT_FALSE(router.takeLinkFailure());
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(segments.empty());
    router.release();
    EXPECT_EQ(segments, (std::vector<int>{1, 2, 3, 4, 5}));
    hook(event(2, {0, 0, 0, 0, 6, 0, 0, 0}));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(segments.back(), 6);
}

TEST(CardEventRouting, SegmentReportsReachTheSinkOnTheReaderThreadEvenWhileHeld) {
    testing::ensureApplication();
    CardEventRouter router;
    std::vector<std::pair<int32_t, std::thread::id>> sunk;
    router.setSegmentSink([&sunk](int32_t s) { sunk.emplace_back(s, std::this_thread::get_id()); });
    router.hold();  // the UI side may be busy: the window must not wait for it
    const auto hook = router.hook();
    std::thread::id readerId;
    std::thread reader([&] {
        readerId = std::this_thread::get_id();
        hook(event(2, {0, 0, 0, 0, 0x10, 0x27, 0, 0}));
        hook(event(1, {3, 6}));  // other reports do not reach the sink
    });
    reader.join();
    ASSERT_EQ(sunk.size(), 1u);
    EXPECT_EQ(sunk[0].first, 10000);
    EXPECT_EQ(sunk[0].second, readerId);
    router.setSegmentSink({});
    hook(event(2, {0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(sunk.size(), 1u);
}

}  // namespace
}  // namespace korvex
