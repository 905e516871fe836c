// Which keys the frame's window passes on to the host, kept apart from Xlib so it can be tested
// without a display. Keys the panel does not want go to the host's window (its shortcuts: the
// transport, its keyboard). Some hosts send every key event they get from an embedded window
// straight back into it (Ardour does), so without care a key would travel back and forth
// forever. Each real key is therefore forwarded at most once: a forwarded event that comes back
// is recognised and dropped, neither handled nor forwarded again, and a release goes on only
// when the host got its press.
//
// Thread contract: the user-interface thread (the frame's window owns one).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zykgui {

class KeyForwarding {
public:
    // Forwarded events not back within this time are forgotten.
    static constexpr uint64_t kEchoWindowMs = 2000;

    struct Key {
        bool press = true;
        unsigned int keycode = 0;
        unsigned int state = 0; // modifier and button bits
        unsigned long time = 0; // the server's time stamp, kept by hosts that send it back
    };

    // True for a copy of an event we forwarded coming back (sent by a client, not typed); it
    // is then forgotten, so a second copy counts as a new key.
    bool isEcho(const Key& key, bool sentByClient, uint64_t nowMs);
    // After the panel had its say: true when the event goes on to the host (remembered then).
    bool shouldForward(const Key& key, bool handledByPanel, uint64_t nowMs);

private:
    struct Sent {
        Key key;
        uint64_t atMs = 0;
        bool pending = false;
    };
    static bool same(const Key& a, const Key& b);

    std::array<Sent, 32> sent{};
    std::size_t nextSlot = 0;
    std::array<bool, 256> pressForwarded{};
};

} // namespace zykgui
