#pragma once

#include "RecordingServices.h"
#include "SimBusFixture.h"

#include "models/keys/KMacroItem.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

class FOledModel;
class KBaseDevice;
class KDpiModel;
class KKeyModel;
class KLightModel;
class KReportModel;

// What the tests of a mouse family set up around the family's emulator: a fresh simulated bus, the models the
// application hands out (through RecordingServices, only those asked for: a mouse follows what it is handed),
// and the registry's factory over every family, so that a device is made the way a simulated run makes it.
// The registry's device is removed, and waited for, before the models and the bus go; an emulator plugged on
// bus() must go before the fixture does.
class MouseFamilyFixture
{
public:
    enum Model {
        Dpi = 1,
        Report = 2,
        Light = 4,       // the light model with its logo item
        WheelLight = 8,  // ... and its wheel item
        Keys = 16,
        Oled = 32,
    };

    explicit MouseFamilyFixture(int models = 0);
    ~MouseFamilyFixture();
    MouseFamilyFixture(const MouseFamilyFixture&) = delete;
    MouseFamilyFixture& operator=(const MouseFamilyFixture&) = delete;

    SimBusFixture* bus() const { return m_bus.get(); }
    RecordingServices* services() const { return m_services.get(); }
    // Null for a model not asked for.
    KDpiModel* dpi() const { return m_dpi.get(); }
    KReportModel* report() const { return m_report.get(); }
    KLightModel* light() const { return m_light.get(); }
    KKeyModel* keys() const { return m_keys.get(); }
    FOledModel* oled() const { return m_oled.get(); }

    // The registry's device of the product id, made by its family's class; null when nothing serves the id.
    KBaseDevice* createDevice(quint16 pid);
    // The same, opened; null when it is not a Device or did not open.
    template <typename Device>
    Device* openDevice(quint16 pid)
    {
        auto* device = qobject_cast<Device*>(createDevice(pid));
        return device && device->initDevice() ? device : nullptr;
    }
    // Marks the registry's device of the product id removed, lets the registry delete it and waits for that;
    // false when it did not go.
    bool removeDevice(quint16 pid);

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<RecordingServices> m_services;
    std::unique_ptr<KDpiModel> m_dpi;
    std::unique_ptr<KReportModel> m_report;
    std::unique_ptr<KLightModel> m_light;
    std::unique_ptr<KKeyModel> m_keys;
    std::unique_ptr<FOledModel> m_oled;
    QList<quint16> m_created;
};

// Macro events and pieces of profile documents, as the program stores them.
namespace MouseTestData {
KMacroItem delay(int ms);
KMacroItem move(int x, int y);
// A key entry: the key, its function and its first value.
QJsonObject button(int key, int function, const QJsonValue& value1 = QString());
// A macro entry's value: its events, name, play type and repeat count.
QJsonObject macroValue(const QVector<KMacroItem>& events, const QString& name, int playType, int times);
// DPI stages of these values, each switched on.
QJsonArray dpiStages(const QList<int>& values);
} // namespace MouseTestData
