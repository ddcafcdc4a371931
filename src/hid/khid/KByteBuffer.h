#pragma once

#include <QtGlobal>

#include <cstddef>

// A growable byte buffer. Values are stored in native (little-endian) byte order. Every read, copy and
// pointer at an offset is checked against the bytes held and fails outside them.
class KByteBuffer
{
public:
    explicit KByteBuffer(std::size_t capacity = 0);
    ~KByteBuffer();
    KByteBuffer(const KByteBuffer&) = delete;
    KByteBuffer& operator=(const KByteBuffer&) = delete;

    void appendByte(quint8 value);
    void appendUInt16(quint16 value);
    void appendUInt32(quint32 value);
    void append(const void* bytes, std::size_t count);

    bool readByte(std::size_t offset, quint8& value) const;
    bool readUInt16(std::size_t offset, quint16& value) const;
    bool readUInt32(std::size_t offset, quint32& value) const;
    // Copies count bytes from offset; false (nothing copied) when they are not all held.
    bool copyTo(std::size_t offset, void* out, std::size_t count) const;

    // Start of the held bytes at offset, for writing in place up to the capacity; nullptr beyond it.
    quint8* pointerAt(std::size_t offset);
    // Counts n bytes written in place at the end; false when that would pass the capacity.
    bool advance(std::size_t n);

    std::size_t capacity() const { return m_capacity; }
    std::size_t size() const { return m_size; }

    // Drops n bytes from the front; nothing happens when fewer are held.
    void removeFront(std::size_t n);
    void clear() { m_size = 0; }
    // Grows the capacity to at least newCapacity, keeping the held bytes.
    void reserve(std::size_t newCapacity);

private:
    void ensureRoom(std::size_t count);

    quint8* m_data = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};
