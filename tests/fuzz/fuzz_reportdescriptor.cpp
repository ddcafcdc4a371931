// The report-descriptor parser takes bytes straight from a device: it must refuse any malformed descriptor
// cleanly, and what it accepts must keep the bounds the HID layer relies on.

#include "FuzzSupport.h"

#include "platform/hid/ReportDescriptor.h"

using KHID::ReportDescriptor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ReportDescriptor descriptor = ReportDescriptor::parse(fuzzInput(data, size));
    if (!descriptor.isValid()) {
        FUZZ_CHECK(descriptor.collections().isEmpty());
        FUZZ_CHECK(!descriptor.errorString().isEmpty());
        return 0;
    }
    FUZZ_CHECK(int(size) <= ReportDescriptor::kMaxDescriptorBytes);
    FUZZ_CHECK(descriptor.collections().size() <= ReportDescriptor::kMaxTopLevelCollections);
    for (const KHID::HidTopLevelCollection& collection : descriptor.collections()) {
        const KHID::HidCaps& caps = collection.caps;
        for (const auto length : {caps.inputReportByteLength, caps.outputReportByteLength, caps.featureReportByteLength})
            FUZZ_CHECK(length <= ReportDescriptor::kMaxReportBytes + 1);
        for (int i = 1; i < collection.inputReportIds.size(); ++i)
            FUZZ_CHECK(collection.inputReportIds.at(i - 1) < collection.inputReportIds.at(i));
        if (!descriptor.usesReportIds())
            FUZZ_CHECK(collection.inputReportIds.isEmpty() || collection.inputReportIds == QList<quint8>{0});
    }
    return 0;
}
