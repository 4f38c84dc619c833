#pragma once
// The application's exception display: every error that escapes an event handler
// ends up here, is shown in a message box and the program goes on.

#include <QString>
#include <exception>
#include <functional>

// The text shown for a message: "." appended when its last character is greater than
// "." in character-code order (letters, digits, Japanese characters); a message that
// ends in ".", "!", a blank or another lower character keeps its end.
QString exceptionDisplayText(const QString& message);

// The message of any exception: AppError's text, or what() of anything else.
QString exceptionMessage(const std::exception& e);

// Shows the error (message box with caption "Flinder", error icon, one OK button).
// Tests replace the shower to record instead of opening a box.
void showException(const QString& message);
using ExceptionShower = std::function<void(const QString& displayText)>;
ExceptionShower setExceptionShower(ExceptionShower shower);

// Runs one event's handler, sending whatever it throws to the display. The place
// where both the Qt application and the virtual platform catch.
void runHandler(const std::function<void()>& handler);
