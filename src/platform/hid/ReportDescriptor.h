#pragma once

// A HID report descriptor, split into its top-level collections the way the Windows HID stack presents
// them: one interface per top-level collection, each with its usage, report byte lengths that count the id
// byte, and its feature value capabilities.
//
// The bytes come from the device, so nothing in them is trusted: every item, length, nesting depth and
// count is bounded, and a descriptor that breaks a bound or the item grammar gives no collection at all.

#include "platform/hid/HidTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace KHID {

// What one top-level collection looks like to the HID layer.
struct HidTopLevelCollection {
    HidCaps caps;
    // Variable feature items wider than one bit, in descriptor order.
    QList<HidValueCaps> featureValueCaps;
    // Ids of the input reports that belong to this collection, ascending (0 when the device numbers none).
    QList<quint8> inputReportIds;
};

class ReportDescriptor
{
public:
    // Bounds that a descriptor must keep; beyond them it is rejected.
    static constexpr int kMaxDescriptorBytes = 4096;
    static constexpr int kMaxCollectionDepth = 16;
    static constexpr int kMaxGlobalStackDepth = 8;
    static constexpr int kMaxTopLevelCollections = 32;
    static constexpr int kMaxUsagesPerItem = 1024;
    static constexpr quint32 kMaxReportSizeBits = 256;
    static constexpr quint32 kMaxReportCount = 4096;
    static constexpr quint32 kMaxReportBytes = 4096;  // one report, without its id byte

    // Parses descriptor; an invalid result has no collections and says why in errorString().
    static ReportDescriptor parse(const QByteArray& descriptor);

    bool isValid() const { return m_valid; }
    QString errorString() const { return m_error; }
    // True when the device prefixes its reports with a report id.
    bool usesReportIds() const { return m_usesReportIds; }
    const QList<HidTopLevelCollection>& collections() const { return m_collections; }

private:
    bool m_valid = false;
    bool m_usesReportIds = false;
    QString m_error;
    QList<HidTopLevelCollection> m_collections;
};

} // namespace KHID
