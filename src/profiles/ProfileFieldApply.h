#pragma once

#include "profiles/ProfileDocument.h"

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QVector>

class KBaseDevice;

// Applying a profile document field by field, for devices that do not apply whole profiles themselves: plan()
// reads and checks the whole document and works out every write (pure, no device); commit() makes the writes
// in their fixed order and stops at the first one the device refuses. A document that fails its check is
// refused before anything is written; a section the document does not hold is not written at all.
//
// Order of the writes: report rate, DPI index and list, main light (mode, speed, brightness, colour), the
// press macros of the left button cleared, the keys in document order (macro keys with their macros, the
// multi-macro key with its macros and count), picture index or the report-rate read-back, operating mode,
// light direction, monochromatic mode.
//
// Threads: plan() anywhere; commit() on a pool thread, each write one device transaction.
class ProfileFieldApply
{
public:
    // What the plan needs besides the document.
    struct Inputs {
        int pid = 0;            // the connected device's product id
        bool isDefault = false; // the document is the model's factory profile
        int leftKeyMacro = 0;   // the layout's left-key macro mode (3: the left button may hold press macros)
    };

    // The whole document checked and turned into writes; false, with the reason, when any section that is
    // there cannot be applied.
    static bool plan(const QJsonObject& profile, const Inputs& inputs, ProfileFieldApply* out, QString* error);

    // Makes the writes; false at the first failure (the writes before it stay made).
    bool commit(KBaseDevice* device) const;

    bool hasDpi() const { return m_hasDpi; }
    // The DPI levels the document switches on, one per level.
    QVector<bool> dpiEnable() const { return m_dpiEnable; }

private:
    enum class KeyKind { Macro, MultiMacro, Composite, KeyboardKey, Plain };
    struct KeyWrite {
        KeyKind kind = KeyKind::Plain;
        int key = 0;
        int function = 0;
        int value1 = 0;  // composite: modifier mask
        int value2 = 0;  // composite and keyboard key: HID usage
        QVector<ProfileDocument::Macro> macros;  // one for a macro key, up to three for the multi-macro key
    };

    bool commitKey(KBaseDevice* device, const KeyWrite& write, int* macroSlot) const;
    bool commitMultiMacro(KBaseDevice* device, const KeyWrite& write) const;

    bool m_hasReport = false;
    int m_report = 0;
    bool m_hasDpi = false;
    QVector<bool> m_dpiEnable;
    QVector<int> m_dpiValues;
    int m_dpiIndex = 0;  // counted over the levels switched on, as the device counts
    bool m_hasLight = false;
    int m_lightMode = 0;
    int m_speed = 0;
    int m_brightness = 0;
    bool m_hasColor = false;
    QMap<QString, int> m_rgb;
    bool m_clearPressMacros = false;
    QVector<KeyWrite> m_keys;
    bool m_checkLeftKey = false;   // the multi-macro key needs the device's left-key check first
    bool m_packedMacros = false;   // multi-macros numbered from 1001, the count raised after each
    bool m_setPicIndex = false;    // else the report rate is read back
    bool m_hasOperatingMode = false;
    int m_operatingMode = 0;
    bool m_hasDirection = false;
    bool m_direction = false;
    bool m_hasMonochromatic = false;
    bool m_monochromatic = false;
};
