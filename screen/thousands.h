#pragma once
// The one number format of the displays: the panels and the hiscore table.

#include <QString>

// "," between groups of three digits counted from the right: "1200" -> "1,200".
QString formatThousands(const QString& digits);
