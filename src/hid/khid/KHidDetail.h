#pragma once

#include "platform/hid/HidTypes.h"

#include <QList>
#include <QString>

namespace KHID {

// What enumeration knows about one HID interface (one top-level collection). Copied freely; only
// meaningful after getHidDetail() succeeded or after a copy from a found interface.
struct KHidDetail {
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 versionNumber = 0;
    QString devicePath;
    QString productName;
    HidCaps capabilities;
    QList<HidValueCaps> featureValueCaps;

    // The interface's report id: that of the first feature value capability, 0 when there is none.
    quint8 reportId() const { return featureValueCaps.isEmpty() ? 0 : featureValueCaps.first().reportId; }
};

} // namespace KHID
