#pragma once

#include <QString>

// Removes blanks (spaces only) at both ends, as the classic Trim does; QString::trimmed
// would also take tabs and line ends.
inline QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ') {
        ++first;
    }
    while (last > first && text.at(last - 1) == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}
