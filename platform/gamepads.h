#pragma once
// Game controllers through SDL2's game controller API, whose mapping database knows the
// common pads and which handles plugging in and out. What it reports is the pad as a
// player holds it, merged over every attached pad: Left and Right (the D-pad, or the
// left stick past its dead zone), the four face buttons as one, and Start.
//
// SDL is loaded only by start(): the library pulls in the desktop's audio and video
// libraries with it, which a program should not wait for while its window comes up.
// Its events are read from the Qt event loop (SDL delivers them to the thread that
// started it): every half second while no pad is attached, which is enough to notice
// one being plugged in and costs nothing measurable, and every 8 ms while one is.

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

enum class PadInput { Left, Right, Face, Start };

class Gamepads : public QObject {
public:
    Gamepads();
    ~Gamepads() override;
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Loads and starts SDL's game controller support and begins polling. False when the
    // library is missing or refuses to start: the program then plays with keys only.
    bool start();
    bool started() const { return sdl_ != nullptr; }
    // Reads the events SDL has gathered and reports every change, in order. The timer
    // calls it; tests may call it directly.
    void poll();
    // Told of each change of an input: pressed (true) or released (false). A press and a
    // release within one poll are both told, so a short tap is never lost.
    void setHandler(std::function<void(PadInput, bool)> handler) { handler_ = std::move(handler); }
    // Attached pads that SDL knows as game controllers.
    int attached() const;

    // The left stick, of 32767 to either side: it counts as pushed from stickPress on and
    // as let go only below stickRelease, so a stick resting near the dead zone's edge
    // never flickers between the two.
    static constexpr int stickPress = 16000;
    static constexpr int stickRelease = 8000;
    static constexpr int idlePollMs = 500;
    static constexpr int activePollMs = 8;

private:
    struct Sdl;
    struct Pad;
    void handleEvent(const void* event);
    void closePad(int instanceId);
    void report();

    std::unique_ptr<Sdl> sdl_;
    std::vector<Pad> pads_;
    std::function<void(PadInput, bool)> handler_;
    QTimer timer_;
    bool reported_[4] = {};
};
