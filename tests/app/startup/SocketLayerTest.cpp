#include "SocketLayer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uint16_t kVersion11 = MakeSocketVersion(1, 1);

// A socket library that answers with a fixed result and version.
class StandInSocketLayer final : public SocketLayer {
public:
    StandInSocketLayer(int result, std::uint16_t version) : m_result(result), m_version(version) {}

    int Startup(std::uint16_t requested, SocketInfo& granted) override
    {
        ++startups;
        lastRequested = requested;
        granted.version = m_version;
        granted.highVersion = m_version;
        return m_result;
    }
    void Cleanup() override { ++cleanups; }

    int startups = 0;
    int cleanups = 0;
    std::uint16_t lastRequested = 0;

private:
    int m_result;
    std::uint16_t m_version;
};

struct RefusedStart {
    const char* name;
    int result;
    std::uint16_t version;
    int cleanups;
};

// Runs in a fresh process: a successful start is remembered for the
// process's whole life.
void ExpectInChildProcess(bool (*check)())
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(check() ? 0 : 1), testing::ExitedWithCode(0), "");
}

}  // namespace

TEST(SocketLayer, AnyVersionButOneOneIsCleanedUpAndRefused)
{
    const RefusedStart rows[] = {
        {"version 1.0", 0, MakeSocketVersion(1, 0), 1},
        {"version 2.0", 0, MakeSocketVersion(2, 0), 1},
        {"version 2.2", 0, MakeSocketVersion(2, 2), 1},
        {"version 0.1 (bytes of 1.0 swapped)", 0, MakeSocketVersion(0, 1), 1},
        {"library not ready, no cleanup", 10091, kVersion11, 0},
    };
    for (const RefusedStart& row : rows) {
        SCOPED_TRACE(row.name);
        StandInSocketLayer layer(row.result, row.version);
        SocketLayerOverride use(layer);
        EXPECT_FALSE(StartSocketLayer());
        EXPECT_EQ(layer.lastRequested, 0x0101);
        EXPECT_EQ(layer.cleanups, row.cleanups);
        // A refused start is not remembered: the next request asks again.
        EXPECT_FALSE(StartSocketLayer());
        EXPECT_EQ(layer.startups, 2);
    }
}

TEST(SocketLayerDeathTest, VersionOneOneStartsOnceAndLaterRequestsSucceedWithoutTheLibrary)
{
    ExpectInChildProcess([] {
        StandInSocketLayer granting(0, kVersion11);
        {
            SocketLayerOverride use(granting);
            if (!StartSocketLayer() || granting.startups != 1 || granting.cleanups != 0)
                return false;
        }
        StandInSocketLayer refusing(0, MakeSocketVersion(2, 0));
        SocketLayerOverride use(refusing);
        return StartSocketLayer() && refusing.startups == 0 && refusing.cleanups == 0;
    });
}

TEST(SocketLayerDeathTest, PlatformSocketLayerGrantsVersionOneOne)
{
    ExpectInChildProcess([] { return StartSocketLayer(); });
}
