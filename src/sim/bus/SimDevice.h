#pragma once

#include "platform/hid/HidTypes.h"

#include <QList>
#include <QString>

// One top-level collection of a simulated interface. Report lengths count the id byte, as the HID layer
// reports them (0: the collection has no report of that type).
struct SimCollection {
    quint16 usagePage = 0;
    quint16 usage = 0;
    quint16 inputReportByteLength = 0;
    quint16 outputReportByteLength = 0;
    quint16 featureReportByteLength = 0;
    // Feature value capabilities in descriptor order; the first one's report id is the collection's.
    QList<KHID::HidValueCaps> featureValueCaps;

    // A collection whose feature reports carry reportId (one value capability of that id).
    static SimCollection make(quint16 usagePage, quint16 usage, quint16 inputLength, quint16 outputLength,
                              quint16 featureLength, int featureReportId = -1);
};

// One simulated USB interface, as the firmware presents it.
struct SimDevice {
    quint16 vendorId = 0;
    quint16 productId = 0;
    quint16 versionNumber = 0;
    QString productName;
    int interfaceNumber = -1;   // -1: not part of a composite device (no "&mi_NN" in its paths)
    QList<SimCollection> collections;
};
