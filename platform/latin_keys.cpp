#include "platform/latin_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

#if QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#endif

namespace {

// A keysym that types a letter of a script other than Latin: Unicode keysyms by their
// character; of the legacy ones, the Kana, Arabic, Cyrillic, Greek, Hebrew, Thai and
// Korean blocks.
bool foreignLetter(quint32 keysym) {
    if (keysym >= 0x01000100 && keysym <= 0x0110ffff) {
        const char32_t c = keysym - 0x01000000;
        return QChar::isLetter(c) && QChar::script(c) != QChar::Script_Latin;
    }
    return (keysym >= 0x04a1 && keysym <= 0x07ff) || (keysym >= 0x0ca0 && keysym <= 0x0eff);
}

int asciiLetter(quint32 keysym) {
    if (keysym >= 'a' && keysym <= 'z')
        return Qt::Key_A + int(keysym - 'a');
    if (keysym >= 'A' && keysym <= 'Z')
        return Qt::Key_A + int(keysym - 'A');
    return 0;
}

// The letters of a US keyboard by XKB keycode (the Linux input code + 8).
int usLetterAt(quint32 keycode) {
    static const struct {
        quint32 first;
        const char* letters;
    } rows[] = {{24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
    for (const auto& row : rows) {
        const quint32 i = keycode - row.first;
        if (keycode >= row.first && i < qstrlen(row.letters))
            return Qt::Key_A + (row.letters[i] - 'A');
    }
    return 0;
}

// The first-level keysym of each group of the key, read from the X server's keyboard
// map at the time of the press; empty off X11.
QList<quint32> groupKeysyms(quint32 keycode) {
    QList<quint32> syms;
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || keycode < 8 || keycode > 255)
        return syms;
    XkbDescPtr xkb = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    if (!xkb)
        return syms;
    if (keycode >= xkb->min_key_code && keycode <= xkb->max_key_code)
        for (int g = 0; g < XkbKeyNumGroups(xkb, keycode); ++g)
            syms << quint32(XkbKeySymEntry(xkb, keycode, 0, g));
    XkbFreeKeyboard(xkb, 0, True);
#else
    Q_UNUSED(keycode);
#endif
    return syms;
}

} // namespace

int latinLetterOf(int qtKey, const QList<quint32>& groupKeysyms, quint32 keycode) {
    // Qt gives a letter key as its upper-case character.
    const bool typedForeign =
        qtKey > 0 && qtKey <= 0xffff && foreignLetter(0x01000000 + quint32(qtKey));
    if (!typedForeign && std::none_of(groupKeysyms.begin(), groupKeysyms.end(), foreignLetter))
        return 0;
    for (quint32 keysym : groupKeysyms)
        if (const int letter = asciiLetter(keysym))
            return letter;
    // A Latin group that puts something else here (a comma, an umlaut) has its say.
    for (quint32 keysym : groupKeysyms)
        if (keysym != 0 && !foreignLetter(keysym))
            return 0;
    return usLetterAt(keycode);
}

int latinLetterKey(const QKeyEvent& event) {
    // Keys without a character (Shift, F1, ...) are no letter keys at any level.
    const quint32 keycode = event.nativeScanCode();
    if (keycode == 0 || event.key() >= Qt::Key_Escape)
        return 0;
    return latinLetterOf(event.key(), groupKeysyms(keycode), keycode);
}
