#pragma once

#include <QObject>
#include <QString>

// The program's folders.
class KAppCommon : public QObject
{
    Q_OBJECT
public:
    static KAppCommon* instance();

    // The root of the profile folders: the writable configuration location + "/config".
    QString getMSConfigFolderPath() const;
    // The macro folder: the writable configuration location + "/macro".
    QString getMacroFolderPath() const;

private:
    KAppCommon();
};
