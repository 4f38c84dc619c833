#pragma once
// Hands a document or web address to the desktop, which opens it with the user's
// viewer. When there is nothing to open or the desktop cannot open it, the player is
// told which page it was, so that it can be opened by hand.
//
// With xdg-open on the PATH it is run and its end awaited by the event loop: when it
// fails within a few seconds (no viewer for the page, say), the exception display shows
// "<page> を開けません" from an event of its own. Without it the toolkit's opening is
// used, which can only tell whether it found a way to start a viewer.

#include <QString>

// Opens the local file at path; raises AppError "<path> を開けません" when the file does
// not exist or no opener can be started.
void openFileOnDesktop(const QString& path);
// Opens the web address; raises AppError "<address> を開けません" when no opener can be
// started.
void openAddressOnDesktop(const QString& address);
