#pragma once

// The free functions of the HID access layer: enumeration, handle opening and the handle-level transfers.
// All of them block and run on the caller's thread; they go through the process's HID backend.

#include "hid/khid/KHidDetail.h"
#include "platform/hid/HidTypes.h"

#include <QString>

#include <functional>

namespace KHID {

using EnumCallback = std::function<void(KHidDetail, bool&)>;

// Calls callback once per present interface whose record could be read, in the backend's stable order,
// until the callback clears its keepGoing argument.
void enumHidDevices(EnumCallback callback);

// Fills detail for one interface path; false when it cannot be opened or described.
bool getHidDetail(const QString& path, KHidDetail& detail);

// Open one interface for reading and writing, or for reading only. On failure the handle holds
// INVALID_HANDLE_VALUE and "error : CreateFile" is printed.
bool openWriteHandle(const QString& path, HANDLE& handle);
bool openReadHandle(const QString& path, HANDLE& handle);

// Closes a handle from openWriteHandle/openReadHandle; INVALID_HANDLE_VALUE is ignored.
void closeHandle(HANDLE handle);

// Wakes every read blocked on the handle (it returns false); reader threads use it to stop.
void cancelHandleIo(HANDLE handle);

// Transfers on an opened handle. buffer[0] is the report id. Each successful transfer is dumped to the
// debug log with printBuffer(..., 8).
bool sendFeatureToHandle(HANDLE handle, const BYTE* buffer, DWORD length);
bool readFeatureFromHandle(HANDLE handle, BYTE* buffer, DWORD length);
bool sendOutputReportToHandle(HANDLE handle, const BYTE* buffer, DWORD length);
bool readInputReportToHandle(HANDLE handle, BYTE* buffer, DWORD length);
bool writeDataToHandle(HANDLE handle, const BYTE* buffer, DWORD length, DWORD* written);
// Blocks until an input report arrives, the handle is cancelled or closed, the device goes away, or
// timeoutMs passes (negative: wait without a time-out).
bool readDataFromHandle(HANDLE handle, BYTE* buffer, DWORD length, DWORD* read, int timeoutMs = -1);

// Writes total bytes in pieces of pieceSize; a short last piece is zero-padded to pieceSize.
bool writeChunksToHandle(HANDLE handle, const BYTE* data, DWORD total, DWORD pieceSize);
// count reads of pieceSize bytes, stored one after another in buffer (count * pieceSize bytes).
bool readChunksFromHandle(HANDLE handle, BYTE* buffer, DWORD pieceSize, DWORD count);

// The dump of a transfer; nothing is formatted while debug output is switched off.
void printBuffer(const BYTE* bytes, int length, int perLine);
void printHidDetail(const KHidDetail& detail);
void printValueCaps(const KHidDetail& detail);

} // namespace KHID
