#include "devices/keyboard/Quenby8aConfigImage.h"

#include "devices/keyboard/Quenby8aKeyTable.h"

static_assert(Quenby8aConfigImage::kKeyTableSize == Quenby8a::kPositionCount * int(sizeof(KKeyCode)),
              "the image holds one code per table position");
static_assert(Quenby8aConfigImage::kSize == 654 && Quenby8aConfigImage::kBrightnessOffset == 526,
              "the image keeps its layout: key table, light header, three spare bytes, key levels");

namespace {
constexpr quint8 kDefaultHeader[Quenby8aConfigImage::kHeaderSize] = {1, 3, 2, 0, 0, 0, 0, 0, 0, 0, 0};
}

Quenby8aConfigImage::Quenby8aConfigImage()
{
    initConfigImage();
}

void Quenby8aConfigImage::initConfigImage()
{
    m_bytes.fill(0);
    for (int pos = 0; pos < Quenby8a::kPositionCount; ++pos)
        setKeyCode(pos, Quenby8a::defaultKeyCode(pos));
    for (int i = 0; i < kHeaderSize; ++i)
        m_bytes[size_t(kHeaderOffset + i)] = kDefaultHeader[i];
}

void Quenby8aConfigImage::initLightSettings()
{
    for (int pos = 0; pos < Quenby8a::kPositionCount; ++pos) {
        if (Quenby8a::keyAtPosition(pos) == Quenby8a::kEmptyPosition)
            m_bytes[size_t(kBrightnessOffset + pos)] = 0;
    }
}

KKeyCode Quenby8aConfigImage::keyCode(int position) const
{
    if (position < 0 || position >= Quenby8a::kPositionCount)
        return KKeyCode();
    return KKeyCode::fromBytes(&m_bytes[size_t(kKeyTableOffset + 4 * position)]);
}

void Quenby8aConfigImage::setKeyCode(int position, const KKeyCode& code)
{
    if (position < 0 || position >= Quenby8a::kPositionCount)
        return;
    const auto b = code.bytes();
    for (int i = 0; i < 4; ++i)
        m_bytes[size_t(kKeyTableOffset + 4 * position + i)] = b[size_t(i)];
}

quint8 Quenby8aConfigImage::header(int index) const
{
    if (index < 0 || index >= kHeaderSize)
        return 0;
    return m_bytes[size_t(kHeaderOffset + index)];
}

void Quenby8aConfigImage::setHeader(int index, quint8 value)
{
    if (index >= 0 && index < kHeaderSize)
        m_bytes[size_t(kHeaderOffset + index)] = value;
}

quint8 Quenby8aConfigImage::keyBrightness(int position) const
{
    if (position < 0 || position >= kBrightnessSize)
        return 0;
    return m_bytes[size_t(kBrightnessOffset + position)];
}

void Quenby8aConfigImage::setKeyBrightness(int position, quint8 level)
{
    if (position >= 0 && position < kBrightnessSize)
        m_bytes[size_t(kBrightnessOffset + position)] = level;
}
