#pragma once
// Game controllers through SDL2's game controller API, whose mapping database knows the
// common pads and which handles plugging in and out. What it reports is the pad as a
// player holds it, merged over every attached pad: Left and Right (the D-pad, or the
// left stick past its dead zone), the four face buttons as one, and Start.
//
// SDL is loaded only by start(): the library pulls in the desktop's audio and video
// libraries with it (several MiB), which a program should not wait for while its window
// comes up, nor carry while no pad is there. startWhenAttached() therefore watches the
// system's input devices itself (inotify, no polling) and starts SDL only once a
// joystick or gamepad is there. From then on SDL notices pads plugged in and out; its
// events are read from the Qt event loop (SDL delivers them to the thread that started
// it): every half second while no pad is attached and every 8 ms while one is.

#include <QObject>
#include <QSocketNotifier>
#include <QString>
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
    // Starts at once when a pad is among the devices in folder (the system's input
    // devices by default), else as soon as one appears there. Without the folder, never.
    void startWhenAttached(const QString& folder = QStringLiteral("/dev/input"));
    // Whether folder holds a joystick or gamepad: a joystick device (js*), or an event
    // device (event*) that can be read and has a joystick's or gamepad's buttons.
    static bool padDeviceIn(const QString& folder);
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

    void stopWatching();

    std::unique_ptr<Sdl> sdl_;
    int watchFd_ = -1;
    QSocketNotifier* watch_ = nullptr;
    QString watchedFolder_;
    std::vector<Pad> pads_;
    std::function<void(PadInput, bool)> handler_;
    QTimer timer_;
    bool reported_[4] = {};
};
