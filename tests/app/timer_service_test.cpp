// The timer service on its real timer: what is posted, when, in which order, and when entries
// leave the list. The service is one per process, so each test uses windows of its own.
#include "app/timer_service.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"

using namespace app;

namespace {

// Ticks come every 100 ms; this much more is allowed for a busy machine.
constexpr std::uint64_t kSlackMs = 250;

struct Posted {
    WindowHandle window;
    std::int32_t message;
    bool asCommand;
    std::int32_t id;
    std::uint64_t at;
};

// Records every post and every fatal report, with the time of the post.
class RecordingPoster : public MessagePoster {
public:
    void post(WindowHandle window, std::int32_t message, bool asCommand, std::int32_t id) override {
        std::lock_guard<std::mutex> lock(m_);
        posted_.push_back({window, message, asCommand, id, platform::nowMs()});
    }
    void fatal(const std::string& text) override {
        std::lock_guard<std::mutex> lock(m_);
        fatal_.push_back(text);
    }
    std::vector<Posted> postedTo(WindowHandle window) {
        std::lock_guard<std::mutex> lock(m_);
        std::vector<Posted> found;
        for (const Posted& p : posted_)
            if (p.window == window) found.push_back(p);
        return found;
    }
    std::vector<std::string> fatalTexts() {
        std::lock_guard<std::mutex> lock(m_);
        return fatal_;
    }

private:
    std::mutex m_;
    std::vector<Posted> posted_;
    std::vector<std::string> fatal_;
};

bool listed(std::int32_t id) {
    const std::vector<DelayedCommand> list = delayedCommands();
    return std::any_of(list.begin(), list.end(), [id](const DelayedCommand& c) { return c.id == id; });
}

// Polls until done() holds or limitMs passes.
template <class F>
bool within(std::uint64_t limitMs, F done) {
    const std::uint64_t start = platform::nowMs();
    while (!done()) {
        if (platform::nowMs() - start > limitMs) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class TimerService : public ::testing::Test {
protected:
    void SetUp() override { setMessagePoster(&poster); }
    void TearDown() override {
        setMessagePoster(nullptr);
        delayedCommands();  // holds the list's mutex once: a tick still using the poster has ended
        EXPECT_TRUE(poster.fatalTexts().empty());
    }
    RecordingPoster poster;
};

TEST_F(TimerService, DeliversOnceAfterTheDelayAndDropsTheEntryATickLater) {
    const WindowHandle window = 0x1001;
    const std::uint64_t before = platform::nowMs();
    const std::int32_t id = addDelayedCommand(1000, window, 4242, true);
    const std::uint64_t after = platform::nowMs();

    std::vector<DelayedCommand> list = delayedCommands();
    auto entry = std::find_if(list.begin(), list.end(), [id](const DelayedCommand& c) { return c.id == id; });
    ASSERT_NE(entry, list.end());
    EXPECT_TRUE(entry->start >= before && entry->start <= after);
    EXPECT_EQ(entry->delay, 1000);
    EXPECT_EQ(entry->window, window);
    EXPECT_EQ(entry->message, 4242);
    EXPECT_TRUE(entry->asCommand);
    EXPECT_TRUE(entry->active);

    ASSERT_TRUE(within(1000 + 100 + 2 * kSlackMs, [&] { return !poster.postedTo(window).empty(); }));
    const Posted delivered = poster.postedTo(window).at(0);
    EXPECT_GE(delivered.at - entry->start, 1000u);
    EXPECT_LE(delivered.at - entry->start, 1000u + 100u + kSlackMs);
    EXPECT_EQ(delivered.message, 4242);
    EXPECT_TRUE(delivered.asCommand);
    EXPECT_EQ(delivered.id, id);

    // Removed at the following tick, and never posted again.
    EXPECT_TRUE(within(100 + kSlackMs, [&] { return !listed(id); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(poster.postedTo(window).size(), 1u);
}

TEST_F(TimerService, EntriesAddedTogetherAreDeliveredInTheirOrder) {
    const WindowHandle window = 0x2002;
    const std::int32_t first = addDelayedCommand(150, window, 7, false);
    const std::int32_t second = addDelayedCommand(150, window, 8, true);
    const std::int32_t third = addDelayedCommand(150, window, 9, false);
    EXPECT_EQ(second, first + 1) << "ids count up by one";
    EXPECT_EQ(third, second + 1);

    ASSERT_TRUE(within(150 + 100 + 2 * kSlackMs, [&] { return poster.postedTo(window).size() == 3; }));
    const std::vector<Posted> posted = poster.postedTo(window);
    EXPECT_EQ(posted[0].id, first);
    EXPECT_EQ(posted[0].message, 7);
    EXPECT_FALSE(posted[0].asCommand);
    EXPECT_EQ(posted[1].id, second);
    EXPECT_TRUE(posted[1].asCommand);
    EXPECT_EQ(posted[2].id, third);
    EXPECT_TRUE(within(100 + kSlackMs, [&] { return !listed(first) && !listed(second) && !listed(third); }));
}

TEST_F(TimerService, AnEntryThatIsNotDueWaitsWhileAnEarlierOneGoes) {
    const WindowHandle late = 0x3003, early = 0x3004;
    const std::int32_t slow = addDelayedCommand(700, late, 1, true);
    const std::int32_t fast = addDelayedCommand(0, early, 2, true);

    ASSERT_TRUE(within(100 + kSlackMs, [&] { return !poster.postedTo(early).empty(); }));
    EXPECT_TRUE(poster.postedTo(late).empty()) << "the later entry went with the earlier one";
    EXPECT_TRUE(listed(slow));
    EXPECT_TRUE(within(100 + kSlackMs, [&] { return !listed(fast); }));
    EXPECT_TRUE(listed(slow));
    ASSERT_TRUE(within(700 + 100 + 2 * kSlackMs, [&] { return !poster.postedTo(late).empty(); }));
    EXPECT_EQ(poster.postedTo(late).at(0).id, slow);
}

TEST_F(TimerService, AnEntryForAGoneWindowIsStillDeliveredAndRemoved) {
    // The window no longer exists: the post is attempted and fails, and the entry goes all the same.
    const WindowHandle gone = 0x4004, alive = 0x4005;
    const std::int32_t toGone = addDelayedCommand(50, gone, 11, true);
    const std::int32_t toAlive = addDelayedCommand(50, alive, 12, true);

    ASSERT_TRUE(within(50 + 100 + 2 * kSlackMs, [&] { return !poster.postedTo(alive).empty(); }));
    EXPECT_EQ(poster.postedTo(gone).size(), 1u);
    EXPECT_TRUE(within(100 + kSlackMs, [&] { return !listed(toGone) && !listed(toAlive); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_EQ(poster.postedTo(gone).size(), 1u);
}

TEST_F(TimerService, WithoutAPosterDueEntriesAreDroppedNotKept) {
    setMessagePoster(nullptr);
    const WindowHandle window = 0x5005;
    const std::int32_t id = addDelayedCommand(0, window, 13, false);
    ASSERT_TRUE(within(2 * 100 + 2 * kSlackMs, [&] { return !listed(id); }));
    setMessagePoster(&poster);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    EXPECT_TRUE(poster.postedTo(window).empty()) << "an entry waited for a poster to appear";
}

TEST_F(TimerService, AManualTickDeliversWhatIsDueExactlyOnce) {
    // The timer's own tick may come first; either way one post, and the list keeps nothing.
    const WindowHandle window = 0x6006;
    const std::int32_t id = addDelayedCommand(0, window, 14, true);
    timerTick();
    timerTick();
    ASSERT_TRUE(within(100 + kSlackMs, [&] { return !poster.postedTo(window).empty(); }));
    EXPECT_TRUE(within(100 + kSlackMs, [&] { return !listed(id); }));
    timerTick();
    EXPECT_EQ(poster.postedTo(window).size(), 1u);
}

}  // namespace
