#include "platform/gamepads.h"

#include <SDL.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The few SDL functions used, looked up in the library once it is loaded. The headers
// give their types; the program does not link the library.
struct Gamepads::Sdl {
#define FLINDER_SDL_FUNCTIONS(X)                                                                   \
    X(SDL_SetHint)                                                                                 \
    X(SDL_InitSubSystem)                                                                           \
    X(SDL_QuitSubSystem)                                                                           \
    X(SDL_PollEvent)                                                                               \
    X(SDL_IsGameController)                                                                        \
    X(SDL_GameControllerOpen)                                                                      \
    X(SDL_GameControllerClose)                                                                     \
    X(SDL_GameControllerGetJoystick)                                                               \
    X(SDL_JoystickInstanceID)
#define FLINDER_SDL_POINTER(name) decltype(&::name) name = nullptr;
    FLINDER_SDL_FUNCTIONS(FLINDER_SDL_POINTER)

    bool load() {
        // Never closed: SDL keeps state of its own until the process ends.
        void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!lib)
            return false;
#define FLINDER_SDL_LOOKUP(name)                                                                   \
    name = reinterpret_cast<decltype(name)>(dlsym(lib, #name));                                    \
    if (!name)                                                                                     \
        return false;
        FLINDER_SDL_FUNCTIONS(FLINDER_SDL_LOOKUP)
        return true;
    }
};

struct Gamepads::Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    bool dpadLeft = false, dpadRight = false;
    bool stickLeft = false, stickRight = false;
    unsigned faces = 0; // one bit per face button held
    bool start = false;

    bool held(PadInput in) const {
        switch (in) {
        case PadInput::Left:
            return dpadLeft || stickLeft;
        case PadInput::Right:
            return dpadRight || stickRight;
        case PadInput::Face:
            return faces != 0;
        case PadInput::Start:
            return start;
        }
        return false;
    }
};

Gamepads::Gamepads() {
    QObject::connect(&timer_, &QTimer::timeout, this, &Gamepads::poll);
}

Gamepads::~Gamepads() {
    stopWatching();
    if (!sdl_)
        return;
    for (Pad& pad : pads_)
        sdl_->SDL_GameControllerClose(pad.controller);
    sdl_->SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool Gamepads::start() {
    if (sdl_)
        return true;
    auto sdl = std::make_unique<Sdl>();
    if (!sdl->load())
        return false;
    // No SDL window ever has the focus: the program decides itself whether its window is
    // active. Termination signals are the program's own business.
    sdl->SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl->SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return false;
    sdl_ = std::move(sdl);
    timer_.start(idlePollMs);
    // Pads attached already announce themselves as added.
    poll();
    return true;
}

namespace {

// Whether the event device has buttons of a joystick or a gamepad (BTN_JOYSTICK to
// BTN_THUMBR, which hold BTN_SOUTH and the other face buttons).
bool hasPadButtons(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // not ours to read: SDL could not read it either
    unsigned char keys[KEY_MAX / 8 + 1] = {};
    const bool read = ::ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) >= 0;
    ::close(fd);
    if (!read)
        return false;
    for (int code = BTN_JOYSTICK; code <= BTN_THUMBR; ++code)
        if (keys[code / 8] & (1u << (code % 8)))
            return true;
    return false;
}

} // namespace

bool Gamepads::padDeviceIn(const QString& folder) {
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::System | QDir::Files, QDir::Unsorted);
    for (const QString& name : names) {
        if (name.startsWith(QLatin1String("js")))
            return true;
        if (name.startsWith(QLatin1String("event")) &&
            hasPadButtons(QFile::encodeName(dir.filePath(name))))
            return true;
    }
    return false;
}

void Gamepads::startWhenAttached(const QString& folder) {
    if (sdl_ || watch_)
        return;
    if (padDeviceIn(folder)) {
        start();
        return;
    }
    // New devices, and devices whose access rights change (the desktop grants a user
    // access to a pad just after it appears).
    watchFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watchFd_ < 0)
        return;
    if (inotify_add_watch(watchFd_, QFile::encodeName(folder).constData(),
                          IN_CREATE | IN_ATTRIB | IN_MOVED_TO) < 0) {
        stopWatching();
        return;
    }
    watchedFolder_ = folder;
    watch_ = new QSocketNotifier(watchFd_, QSocketNotifier::Read, this);
    connect(watch_, &QSocketNotifier::activated, this, [this] {
        char events[4096];
        while (::read(watchFd_, events, sizeof events) > 0) {
        }
        if (padDeviceIn(watchedFolder_)) {
            stopWatching();
            start();
        }
    });
}

void Gamepads::stopWatching() {
    delete watch_;
    watch_ = nullptr;
    if (watchFd_ >= 0)
        ::close(watchFd_);
    watchFd_ = -1;
}

int Gamepads::attached() const {
    return int(pads_.size());
}

void Gamepads::poll() {
    if (!sdl_)
        return;
    SDL_Event event;
    while (sdl_->SDL_PollEvent(&event))
        handleEvent(&event);
    const int interval = pads_.empty() ? idlePollMs : activePollMs;
    if (timer_.interval() != interval)
        timer_.start(interval);
}

void Gamepads::handleEvent(const void* e) {
    const SDL_Event& event = *static_cast<const SDL_Event*>(e);
    auto padOf = [this](SDL_JoystickID id) -> Pad* {
        for (Pad& pad : pads_)
            if (pad.id == id)
                return &pad;
        return nullptr;
    };
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
        const int index = event.cdevice.which;
        if (!sdl_->SDL_IsGameController(index))
            return;
        SDL_GameController* controller = sdl_->SDL_GameControllerOpen(index);
        if (!controller)
            return;
        const SDL_JoystickID id =
            sdl_->SDL_JoystickInstanceID(sdl_->SDL_GameControllerGetJoystick(controller));
        if (padOf(id)) { // announced twice: opened once already
            sdl_->SDL_GameControllerClose(controller);
            return;
        }
        Pad pad;
        pad.controller = controller;
        pad.id = id;
        pads_.push_back(pad);
        return;
    }
    case SDL_CONTROLLERDEVICEREMOVED:
        closePad(event.cdevice.which);
        report();
        return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        Pad* pad = padOf(event.cbutton.which);
        if (!pad)
            return;
        const bool down = event.cbutton.state == SDL_PRESSED;
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            pad->dpadLeft = down;
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            pad->dpadRight = down;
            break;
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_B:
        case SDL_CONTROLLER_BUTTON_X:
        case SDL_CONTROLLER_BUTTON_Y: {
            const unsigned bit = 1u << event.cbutton.button;
            pad->faces = down ? pad->faces | bit : pad->faces & ~bit;
            break;
        }
        case SDL_CONTROLLER_BUTTON_START:
            pad->start = down;
            break;
        default:
            return;
        }
        report();
        return;
    }
    case SDL_CONTROLLERAXISMOTION: {
        Pad* pad = padOf(event.caxis.which);
        if (!pad || event.caxis.axis != SDL_CONTROLLER_AXIS_LEFTX)
            return;
        const int x = event.caxis.value;
        pad->stickLeft = pad->stickLeft ? x < -stickRelease : x <= -stickPress;
        pad->stickRight = pad->stickRight ? x > stickRelease : x >= stickPress;
        report();
        return;
    }
    default:
        return;
    }
}

void Gamepads::closePad(int instanceId) {
    const auto it = std::find_if(pads_.begin(), pads_.end(),
                                 [instanceId](const Pad& pad) { return pad.id == instanceId; });
    if (it == pads_.end())
        return;
    sdl_->SDL_GameControllerClose(it->controller);
    pads_.erase(it);
}

// Tells the handler what changed in the merged state of all pads.
void Gamepads::report() {
    for (PadInput in : {PadInput::Left, PadInput::Right, PadInput::Face, PadInput::Start}) {
        const bool held =
            std::any_of(pads_.begin(), pads_.end(), [in](const Pad& pad) { return pad.held(in); });
        bool& was = reported_[int(in)];
        if (held == was)
            continue;
        was = held;
        if (handler_)
            handler_(in, held);
    }
}
