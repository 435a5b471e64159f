#include "SocketLayer.h"

namespace {

constexpr std::uint16_t kRequestedVersion = MakeSocketVersion(1, 1);

// POSIX sockets need no library start-up, so the platform simply grants
// the version the program asks for.
class PosixSocketLayer final : public SocketLayer {
public:
    int Startup(std::uint16_t /*requested*/, SocketInfo& granted) override
    {
        granted.version = kRequestedVersion;
        granted.highVersion = kRequestedVersion;
        return 0;
    }
    void Cleanup() override {}
};

SocketLayer* g_override = nullptr;
bool g_started = false;

SocketLayer& ActiveSocketLayer()
{
    static PosixSocketLayer platform;
    return g_override != nullptr ? *g_override : platform;
}

}  // namespace

SocketLayerOverride::SocketLayerOverride(SocketLayer& layer) noexcept : m_previous(g_override)
{
    g_override = &layer;
}

SocketLayerOverride::~SocketLayerOverride()
{
    g_override = m_previous;
}

bool StartSocketLayer()
{
    if (g_started)
        return true;
    SocketLayer& layer = ActiveSocketLayer();
    SocketInfo granted;
    if (layer.Startup(kRequestedVersion, granted) != 0)
        return false;
    if (granted.version != kRequestedVersion) {
        layer.Cleanup();
        return false;
    }
    g_started = true;
    return true;
}
