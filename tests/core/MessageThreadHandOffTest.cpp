#include "core/MessageThreadHandOff.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
struct Change
{
    int thread;
    int serial;
};

/** Runs the message loop until `done` holds, for at most two seconds. */
bool pumpUntil (const std::function<bool()>& done)
{
    for (int waited = 0; waited < 2000 && ! done(); waited += 10)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    return done();
}

class MessageThreadHandOffTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;
};
} // namespace

// Several threads post at once: nothing arrives before the message loop runs, then everything arrives, each
// thread's records in the order it posted them.
TEST_F (MessageThreadHandOffTest, RecordsFromOtherThreadsArriveOnTheMessageLoopInOrder)
{
    constexpr int threads = 4, perThread = 200;
    std::vector<Change> received;
    QEL::MessageThreadHandOff<Change, 1024> handOff { [&received] (const Change& c) { received.push_back (c); } };

    std::vector<std::thread> posters;
    for (int t = 0; t < threads; ++t)
        posters.emplace_back (
            [&handOff, t]
            {
                for (int i = 0; i < perThread; ++i)
                    EXPECT_TRUE (handOff.post ({ t, i }));
            });
    for (auto& poster : posters)
        poster.join();

    EXPECT_TRUE (received.empty()) << "delivered before the message loop ran";
    ASSERT_TRUE (pumpUntil ([&] { return received.size() == (size_t) (threads * perThread); }));

    std::vector<int> next (threads, 0);
    for (const auto& c : received)
        EXPECT_EQ (c.serial, next[(size_t) c.thread]++) << "thread " << c.thread;
}

// A full ring drops what does not fit and never blocks; after the drain the owner is told to catch up once,
// and the ring takes records again.
TEST_F (MessageThreadHandOffTest, AFullRingDropsAndAsksTheOwnerToCatchUp)
{
    std::vector<int> received;
    int catchUps = 0;
    QEL::MessageThreadHandOff<int, 8> handOff { [&received] (int v) { received.push_back (v); },
                                                [&catchUps] { ++catchUps; } };

    std::thread (
        [&handOff]
        {
            for (int i = 0; i < 10; ++i)
                EXPECT_EQ (handOff.post (i), i < 8) << i;
        })
        .join();

    ASSERT_TRUE (pumpUntil ([&] { return catchUps > 0; }));
    EXPECT_EQ (received, (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7 }));
    EXPECT_EQ (catchUps, 1);

    EXPECT_TRUE (handOff.post (42));
    ASSERT_TRUE (pumpUntil ([&] { return received.size() == 9; }));
    EXPECT_EQ (received.back(), 42);
    EXPECT_EQ (catchUps, 1);
}

// Records still queued when the hand-off goes are never delivered.
TEST_F (MessageThreadHandOffTest, RecordsQueuedAtDestructionAreDropped)
{
    int delivered = 0;
    {
        QEL::MessageThreadHandOff<int> handOff { [&delivered] (int) { ++delivered; } };
        std::thread ([&handOff] { handOff.post (1); }).join();
    }
    juce::MessageManager::getInstance()->runDispatchLoopUntil (50);
    EXPECT_EQ (delivered, 0);
}
