#pragma once
// Connects a signal to one of the program's handlers so that an error it raises goes to
// the application's exception display right there, instead of unwinding through Qt.

#include "platform/exception_display.h"

#include <QObject>

#include <utility>

template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection connectHandler(Sender* sender, Signal signal, QObject* context,
                                       Handler handler) {
    return QObject::connect(sender, signal, context, [h = std::move(handler)] { runHandler(h); });
}
