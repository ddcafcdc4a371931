#pragma once

#include <QString>
#include <QUrl>

// A file location handed in by the user interface: a file URL ("file:///home/me/a.png", percent-encoded or
// not) becomes its local path; anything else is taken as a path already. Cutting "file:///" off the text
// would leave "home/me/a.png", a path relative to wherever the program runs.
inline QString localPathOf(const QString& location)
{
    if (location.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(location).toLocalFile();
    return location;
}
