#include "sim/bus/SimDevice.h"

SimCollection SimCollection::make(quint16 usagePage, quint16 usage, quint16 inputLength, quint16 outputLength,
                                  quint16 featureLength, int featureReportId)
{
    SimCollection c;
    c.usagePage = usagePage;
    c.usage = usage;
    c.inputReportByteLength = inputLength;
    c.outputReportByteLength = outputLength;
    c.featureReportByteLength = featureLength;
    if (featureReportId >= 0) {
        KHID::HidValueCaps value;
        value.usagePage = usagePage;
        value.reportId = quint8(featureReportId);
        value.bitSize = 8;
        value.reportCount = featureLength > 0 ? quint16(featureLength - 1) : 0;
        value.logicalMax = 255;
        c.featureValueCaps.append(value);
    }
    return c;
}
