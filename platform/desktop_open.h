#pragma once
// Hands a document or web address to the desktop, which opens it with the user's
// viewer. When there is nothing to open or the desktop cannot open it, the player is
// told which page it was, so that it can be opened by hand.

#include <QString>

// Opens the local file at path; raises AppError "<path> を開けません" when the file does
// not exist or the desktop refuses it.
void openFileOnDesktop(const QString& path);
// Opens the web address; raises AppError "<address> を開けません" when the desktop
// refuses it.
void openAddressOnDesktop(const QString& address);
