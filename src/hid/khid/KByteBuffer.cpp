#include "hid/khid/KByteBuffer.h"

#include <cstring>

KByteBuffer::KByteBuffer(std::size_t capacity)
    : m_data(capacity > 0 ? new quint8[capacity] : nullptr)
    , m_capacity(capacity)
{
}

KByteBuffer::~KByteBuffer()
{
    delete[] m_data;
}

void KByteBuffer::ensureRoom(std::size_t count)
{
    if (m_size + count <= m_capacity)
        return;
    reserve(m_capacity + m_capacity / 2 + count);
}

void KByteBuffer::appendByte(quint8 value)
{
    append(&value, 1);
}

void KByteBuffer::appendUInt16(quint16 value)
{
    const quint8 bytes[2] = {quint8(value), quint8(value >> 8)};
    append(bytes, sizeof bytes);
}

void KByteBuffer::appendUInt32(quint32 value)
{
    const quint8 bytes[4] = {quint8(value), quint8(value >> 8), quint8(value >> 16), quint8(value >> 24)};
    append(bytes, sizeof bytes);
}

void KByteBuffer::append(const void* bytes, std::size_t count)
{
    if (count == 0 || !bytes)
        return;
    ensureRoom(count);
    std::memcpy(m_data + m_size, bytes, count);
    m_size += count;
}

bool KByteBuffer::copyTo(std::size_t offset, void* out, std::size_t count) const
{
    if (!out || offset > m_size || count > m_size - offset)
        return false;
    if (count > 0)
        std::memcpy(out, m_data + offset, count);
    return true;
}

bool KByteBuffer::readByte(std::size_t offset, quint8& value) const
{
    return copyTo(offset, &value, 1);
}

bool KByteBuffer::readUInt16(std::size_t offset, quint16& value) const
{
    quint8 b[2];
    if (!copyTo(offset, b, sizeof b))
        return false;
    value = quint16(b[0] | (b[1] << 8));
    return true;
}

bool KByteBuffer::readUInt32(std::size_t offset, quint32 &value) const
{
    quint8 b[4];
    if (!copyTo(offset, b, sizeof b))
        return false;
    value = quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    return true;
}

quint8* KByteBuffer::pointerAt(std::size_t offset)
{
    if (!m_data || offset >= m_capacity)
        return nullptr;
    return m_data + offset;
}

bool KByteBuffer::advance(std::size_t n)
{
    if (n > m_capacity - m_size)
        return false;
    m_size += n;
    return true;
}

void KByteBuffer::removeFront(std::size_t n)
{
    if (n == 0 || n > m_size)
        return;
    std::memmove(m_data, m_data + n, m_size - n);
    m_size -= n;
}

void KByteBuffer::reserve(std::size_t newCapacity)
{
    if (newCapacity <= m_capacity)
        return;
    auto* block = new quint8[newCapacity];
    if (m_size > 0)
        std::memcpy(block, m_data, m_size);
    delete[] m_data;
    m_data = block;
    m_capacity = newCapacity;
}
