// What reaches a two-page mouse's driver from outside: the mouse's stage reports and key codes, and the profile
// documents applied to it. The first byte picks the input: 0 a stage report, 1 key codes, anything else a
// profile for the root (even) or the locked variant (odd). No mouse is attached, so nothing is sent.

#include "FuzzSupport.h"

#include "devices/mouse/twopage/HDeviceHarlo_Hollis.h"
#include "devices/mouse/twopage/HDeviceUlverd.h"
#include "devices/mouse/twopage/UlverdKeyCodec.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWorkspace::instance();
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), int(size - 1));
    static HDeviceUlverd root;
    static HDeviceHarlo_Hollis variant;
    switch (data[0]) {
    case 0: {
        QString report;
        for (char c : bytes)
            report.append(QChar(ushort(quint8(c))));
        const int before = variant.getDpiIndex();
        variant.onInterruptData(report);
        const int after = variant.getDpiIndex();
        FUZZ_CHECK(after >= 0 && after <= 6);
        FUZZ_CHECK(report.size() >= 7 || after == before);
        break;
    }
    case 1:
        for (int offset = 0; offset + 4 <= bytes.size(); offset += 4) {
            const auto* code = reinterpret_cast<const quint8*>(bytes.constData() + offset);
            for (auto dialect : {UlverdKeyCodec::Dialect::Root, UlverdKeyCodec::Dialect::Locked}) {
                const int function = UlverdKeyCodec::decode(dialect, code, offset / 4 % 14);
                FUZZ_CHECK(function >= -1 && function <= 57);
            }
        }
        break;
    default: {
        const QJsonObject profile = QJsonDocument::fromJson(bytes).object();
        HDeviceUlverd& device = data[0] % 2 == 0 ? static_cast<HDeviceUlverd&>(root) : variant;
        const QByteArray image = device.image();
        // Not opened: whatever the document holds, it is refused or fails at the first write, and the copy of
        // the image stays as it was.
        FUZZ_CHECK(device.getMouseConfig(profile) == KBaseDevice::ProfileFailed);
        FUZZ_CHECK(device.image() == image);
        break;
    }
    }
    return 0;
}
