#pragma once

// Small stand-ins for the HID types the device code was designed around: a handle whose null value plays
// the invalid handle, the capabilities of one top-level collection and one feature value capability.

#include <QList>
#include <QString>
#include <QtGlobal>

namespace KHID {

using HANDLE = qintptr;
using DWORD = quint32;
using BYTE = quint8;

constexpr HANDLE INVALID_HANDLE_VALUE = -1;

// Capabilities of one top-level collection. Report byte lengths include the report id byte
// (one more than the largest report of that type; 0 when the collection has none of that type).
struct HidCaps {
    quint16 usage = 0;
    quint16 usagePage = 0;
    quint16 inputReportByteLength = 0;
    quint16 outputReportByteLength = 0;
    quint16 featureReportByteLength = 0;
    quint16 numberLinkCollectionNodes = 0;
    quint16 numberInputButtonCaps = 0;
    quint16 numberInputValueCaps = 0;
    quint16 numberInputDataIndices = 0;
    quint16 numberOutputButtonCaps = 0;
    quint16 numberOutputValueCaps = 0;
    quint16 numberOutputDataIndices = 0;
    quint16 numberFeatureButtonCaps = 0;
    quint16 numberFeatureValueCaps = 0;
    quint16 numberFeatureDataIndices = 0;
};

// One feature value capability: a Variable feature item wider than one bit.
struct HidValueCaps {
    quint16 usagePage = 0;
    quint8 reportId = 0;
    quint16 bitSize = 0;
    quint16 reportCount = 0;
    quint16 usageMin = 0;
    quint16 usageMax = 0;
    qint32 logicalMin = 0;
    qint32 logicalMax = 0;
};

// Everything enumeration knows about one top-level collection.
struct HidInterfaceInfo {
    QString path;
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 versionNumber = 0;
    QString productName;
    HidCaps caps;
    QList<HidValueCaps> featureValueCaps;
};

} // namespace KHID
