#pragma once
// Letter keys by their Latin meaning. With a keyboard layout of another script active
// (Russian, Greek, Hebrew, ...) the key in Z's place types a letter of that script; the
// game's letter keys must act whatever the layout, as virtual-key codes do.

#include <QList>
#include <QtGlobal>

class QKeyEvent;

// The Latin letter (Qt::Key_A .. Qt::Key_Z) that a press of a letter key of another
// script stands for, whatever the shift level (Shift+Z types "~" on an Arabic layout);
// 0 for any other key, or when nothing Latin lies on it.
int latinLetterKey(const QKeyEvent& event);

// The decision for a press that gave qtKey (Qt's key: the character of the keysym at
// the shift level in use, upper-cased) on the key with this XKB keycode, whose layout
// groups carry these X keysyms on their first level (empty when the keyboard map cannot
// be read). Only a key that types a letter of another script counts, at the level in
// use or at its first: then the letter of the first Latin group or, when no group is
// Latin, the letter at the key's place on a US keyboard.
int latinLetterOf(int qtKey, const QList<quint32>& groupKeysyms, quint32 keycode);
