#pragma once

// Real devices through Linux hidraw. Each hidraw node is one USB interface; its report descriptor is split
// into top-level collections so that every collection is an interface of its own, as the rest of the HID
// layer expects. Several handles on one node are several file descriptors, so each receives every input
// report of the device; a read keeps only the reports of its own collection.

#include "platform/hid/HidBackend.h"

#include <QHash>
#include <QMutex>
#include <QString>

#include <memory>

namespace KHID {

class HidrawBackend : public HidBackend
{
public:
    HidrawBackend();
    ~HidrawBackend() override;

    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    // The hidraw class folder (normally /sys/class/hidraw) and the folder of the device nodes (/dev).
    // Tests point them at a fixture tree of the same shape.
    void setRoots(const QString& classRoot, const QString& deviceRoot);
    QString classRoot() const;

    // Every collection of one node ("hidraw3"), in descriptor order; empty when the node cannot be read or
    // its descriptor is malformed.
    QList<HidInterfaceInfo> describeNode(const QString& node) const;

    // The node name of a path this backend formatted ("hidraw3"); empty when the path names none.
    static QString nodeOfPath(const QString& path);

    QStringList enumerate() override;
    bool queryInterface(const QString& path, HidInterfaceInfo& info) override;
    HANDLE open(const QString& path, HidAccess access) override;
    void close(HANDLE handle) override;
    bool setFeature(HANDLE handle, const quint8* buffer, quint32 length) override;
    bool getFeature(HANDLE handle, quint8* buffer, quint32 length) override;
    bool getInputReport(HANDLE handle, quint8* buffer, quint32 length) override;
    bool write(HANDLE handle, const quint8* buffer, quint32 length, quint32* written) override;
    bool read(HANDLE handle, quint8* buffer, quint32 length, quint32* read, int timeoutMs = -1) override;
    void cancel(HANDLE handle) override;

protected:
    // Opens a device node with open(2) flags; returns the descriptor or -1. Tests replace it to hand out
    // one end of a socket pair in place of a character device.
    virtual int openNode(const QString& devicePath, int flags);

private:
    struct Handle;
    struct NodeReport;

    bool describe(const QString& node, NodeReport* report) const;
    std::shared_ptr<Handle> find(HANDLE handle) const;
    bool control(HANDLE handle, unsigned long request, quint8* buffer, quint32 length);

    mutable QMutex m_mutex;
    QString m_classRoot;
    QString m_deviceRoot;
    QHash<HANDLE, std::shared_ptr<Handle>> m_handles;
    HANDLE m_nextHandle = 1;
};

} // namespace KHID
