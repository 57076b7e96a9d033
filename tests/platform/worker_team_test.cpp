// Rounds of numbered items: each done once, each member's calls one at a
// time, whatever the team's size.

#include "platform/worker_team.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace pirn {
namespace {

TEST(WorkerTeamTest, EveryItemOnceAndNoMemberTwiceAtOnce) {
    for (u32 threads : {1u, 2u, 5u}) {
        WorkerTeam team(threads);
        ASSERT_EQ(team.size(), threads);
        // Many short rounds, as the refinement runs them, of sizes around
        // the team's.
        for (u32 count : {0u, 1u, 2u, threads, threads + 1, 300u}) {
            for (int round = 0; round < 20; ++round) {
                std::vector<std::atomic<u32>> done(count);
                std::unique_ptr<std::atomic<u32>[]> busy(new std::atomic<u32>[threads]);
                for (u32 m = 0; m < threads; ++m) busy[m] = 0;
                std::atomic<bool> overlap{false}, bad_member{false};
                team.ForEach(count, [&](u32 item, u32 member) {
                    if (member >= threads) {
                        bad_member = true;
                        return;
                    }
                    if (busy[member].fetch_add(1) != 0) overlap = true;
                    done[item].fetch_add(1);
                    busy[member].fetch_sub(1);
                });
                for (u32 i = 0; i < count; ++i) ASSERT_EQ(done[i].load(), 1u) << threads << " " << count << " " << i;
                EXPECT_FALSE(overlap) << threads << " threads";
                EXPECT_FALSE(bad_member) << threads << " threads";
            }
        }
        std::vector<std::atomic<u32>> parts(team.size());
        team.Run([&](u32 part) { parts[part].fetch_add(1); });
        for (const std::atomic<u32>& part : parts) EXPECT_EQ(part.load(), 1u);
    }
}

// The caller takes items too: items that wait for one another finish even
// when one item holds its member up for as long as the others take.
TEST(WorkerTeamTest, AHeldUpMemberDoesNotStopTheOthersItems) {
    WorkerTeam team(3);
    constexpr u32 kItems = 50;
    std::atomic<u32> finished{0};
    team.ForEach(kItems, [&](u32 item, u32) {
        if (item == 0) {
            while (finished.load() < kItems - 1) {
            }
        }
        finished.fetch_add(1);
    });
    EXPECT_EQ(finished.load(), kItems);
}

}  // namespace
}  // namespace pirn
