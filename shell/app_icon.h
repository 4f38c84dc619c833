#pragma once
// The program's icon: drawn at every size the desktop asks for, read from the program's
// pictures when a size is asked for and not kept, so the whole set costs no memory
// while the program runs (the window system keeps its own copy).

#include <QIcon>

QIcon applicationIcon();
