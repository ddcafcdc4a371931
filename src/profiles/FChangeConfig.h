#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

// Carries the settings of a profile of the oldest layout (under "MouseDataOfGamingModeV3") over onto a
// profile document of the current layout: report rate, DPI levels and the logo light. Key assignments
// of the old layout are not carried over.
class FChangeConfig : public QObject
{
    Q_OBJECT
public:
    explicit FChangeConfig(QObject* parent = nullptr);

    // Overlays oldDocument onto the profile at path, writes the profile and returns it. The result is empty
    // when nothing was stored: a profile that cannot be read is not written, and a write that fails (full
    // disk, read-only folder) leaves the old profile whole.
    QJsonObject changeConfig(QJsonObject oldDocument, const QString& path);
    // HID keyboard usage of a Windows virtual-key code; 0 for 0 and for codes without a row.
    int VKCodeTransToString(int virtualKey);
};
