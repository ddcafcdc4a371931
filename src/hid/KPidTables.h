#pragma once

// Tables that relate product ids: the keyboard's wired id to its wireless id, and product id to the
// device-type name by which layouts, profiles and the user interface know the model.

#include "common/DeviceIds.h"

#include <QMap>
#include <QString>

inline const QMap<int, int> kWirelessPidTable = {
    {DeviceIds::kKeyboardWired, DeviceIds::kKeyboardWireless},
};

inline const QMap<int, QString> kPidNameTable = {
    {DeviceIds::kKeyboardWired, QStringLiteral("ZEPHRA")},
    {DeviceIds::kKeyboardWireless, QStringLiteral("ZEPHRA_WIRELESS")},
};
