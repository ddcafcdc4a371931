#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "devices/keyboard/Quenby8aProtocol.h"

#include <array>

// The keyboard object's mirror of what it last read from or wrote to the device: the key table, the light
// settings header and the per-key brightness levels.
class Quenby8aConfigImage
{
public:
    static constexpr int kKeyTableOffset = 0;
    static constexpr int kKeyTableSize = Quenby8a::kKeyTableSize;
    static constexpr int kHeaderOffset = kKeyTableOffset + kKeyTableSize;
    static constexpr int kHeaderSize = 11;
    static constexpr int kBrightnessOffset = kHeaderOffset + kHeaderSize + 3;
    static constexpr int kBrightnessSize = Quenby8a::kKeyBrightnessSize;
    static constexpr int kSize = kBrightnessOffset + kBrightnessSize;

    // Header bytes.
    static constexpr int kHeaderLightMode = 0;
    static constexpr int kHeaderBrightness = 1;
    static constexpr int kHeaderSpeed = 2;
    static constexpr int kHeaderModeRegister = 4;

    Quenby8aConfigImage();

    // Factory key table and light header.
    void initConfigImage();
    // Zeroes the brightness levels of the empty positions.
    void initLightSettings();

    KKeyCode keyCode(int position) const;
    void setKeyCode(int position, const KKeyCode& code);

    quint8 header(int index) const;
    void setHeader(int index, quint8 value);

    quint8 keyBrightness(int position) const;
    void setKeyBrightness(int position, quint8 level);

    const std::array<quint8, kSize>& bytes() const { return m_bytes; }

private:
    std::array<quint8, kSize> m_bytes{};
};
