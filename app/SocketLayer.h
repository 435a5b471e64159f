#pragma once

#include <cstdint>

// What the socket layer reports back when it starts. Versions carry the
// major number in the low byte and the minor number in the high byte.
struct SocketInfo {
    std::uint16_t version = 0;
    std::uint16_t highVersion = 0;
};

inline constexpr std::uint16_t MakeSocketVersion(int major, int minor)
{
    return static_cast<std::uint16_t>((major & 0xFF) | ((minor & 0xFF) << 8));
}

// The socket library as start-up sees it. The program opens no socket; a
// working socket layer is only a condition for starting.
class SocketLayer {
public:
    virtual ~SocketLayer() = default;
    // 0 on success, with the granted version in `granted`.
    [[nodiscard]] virtual int Startup(std::uint16_t requested, SocketInfo& granted) = 0;
    virtual void Cleanup() = 0;
};

// While one of these lives, start-up talks to `layer` instead of the
// platform's socket layer (the tests' seam).
class SocketLayerOverride {
public:
    explicit SocketLayerOverride(SocketLayer& layer) noexcept;
    ~SocketLayerOverride();
    SocketLayerOverride(const SocketLayerOverride&) = delete;
    SocketLayerOverride& operator=(const SocketLayerOverride&) = delete;

private:
    SocketLayer* m_previous;
};

// Starts the socket layer once per process, asking for version 1.1 and
// accepting nothing else (a wrong version is cleaned up again). Once it
// has started, later calls succeed without asking the layer.
[[nodiscard]] bool StartSocketLayer();
