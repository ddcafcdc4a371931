#include "SimSettingsMouse.h"

#include "sim/bus/SimBus.h"

#include <QMutexLocker>

#include <cstring>

using namespace SettingsMouse;

SimSettingsMouse::~SimSettingsMouse()
{
    unplug();
}

int SimSettingsMouse::plug(SimBus* bus, quint16 productId)
{
    unplug();
    plugInterfaces(bus, {{describe(productId, 0x0100, QStringLiteral("Settings mouse"),
                                   {SimCollection::make(kUsagePage, kUsage, 0, 0, kReportLength, kReportId)}),
                          {this}}});
    return busDeviceId();
}

QVector<int> SimSettingsMouse::stages() const
{
    QMutexLocker lock(&m_mutex);
    QVector<int> values;
    const int count = qMin(int(reg(kRegStageCount)), kMaxStages);
    for (int i = 0; i < count; ++i)
        values << (reg(kRegStages + 2 * i) | reg(kRegStages + 2 * i + 1) << 8);
    return values;
}

int SimSettingsMouse::dpiIndex() const
{
    QMutexLocker lock(&m_mutex);
    return reg(kRegDpiIndex);
}

int SimSettingsMouse::reportRate() const
{
    QMutexLocker lock(&m_mutex);
    return reg(kRegReportRate);
}

QVector<int> SimSettingsMouse::keyColor(int key) const
{
    QMutexLocker lock(&m_mutex);
    if (key < 0 || key >= kKeyCount)
        return {};
    const int at = kRegKeyColor + 3 * key;
    return {reg(at), reg(at + 1), reg(at + 2)};
}

int SimSettingsMouse::keyBrightness(int key) const
{
    QMutexLocker lock(&m_mutex);
    return key >= 0 && key < kKeyCount ? reg(kRegKeyBrightness + key) : -1;
}

void SimSettingsMouse::setDpiIndex(int index)
{
    QMutexLocker lock(&m_mutex);
    m_registers[kRegDpiIndex] = char(index);
}

void SimSettingsMouse::setKeyColor(int key, int r, int g, int b)
{
    QMutexLocker lock(&m_mutex);
    if (key < 0 || key >= kKeyCount)
        return;
    const int at = kRegKeyColor + 3 * key;
    m_registers[at] = char(r);
    m_registers[at + 1] = char(g);
    m_registers[at + 2] = char(b);
}

void SimSettingsMouse::refuseWrites(int first, int last)
{
    QMutexLocker lock(&m_mutex);
    m_refusedFirst = first;
    m_refusedLast = last;
}

void SimSettingsMouse::refuseNone()
{
    refuseWrites(-1, -1);
}

QList<int> SimSettingsMouse::writtenRegisters() const
{
    return locked(m_written).entries();
}

void SimSettingsMouse::clearWrites()
{
    QMutexLocker lock(&m_mutex);
    m_written.clear();
}

bool SimSettingsMouse::onSetFeature(const QByteArray& report)
{
    if (report.size() < int(sizeof(Request)))
        return false;
    Request request;
    std::memcpy(&request, report.constData(), sizeof(request));
    const int first = request.address;
    const int length = request.length;
    if (request.reportId != kReportId || length > kMaxData || first + length > kRegisterSpace)
        return false;

    QMutexLocker lock(&m_mutex);
    switch (request.op) {
    case OpWrite: {
        const int last = first + length - 1;
        if (m_refusedFirst >= 0 && first <= m_refusedLast && last >= m_refusedFirst)
            return false;
        std::memcpy(m_registers.data() + first, request.data, size_t(length));
        m_written << first;
        return true;
    }
    case OpRead: {
        Reply reply{};
        reply.reportId = kReportId;
        reply.status = StatusOk;
        reply.address = request.address;
        reply.length = request.length;
        std::memcpy(reply.data, m_registers.constData() + first, size_t(length));
        m_pendingReply = QByteArray(reinterpret_cast<const char*>(&reply), sizeof(reply));
        return true;
    }
    default:
        return false;
    }
}

bool SimSettingsMouse::onGetFeature(quint8 reportId, QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    if (reportId != kReportId || m_pendingReply.isEmpty())
        return false;
    report = m_pendingReply.left(report.size());
    m_pendingReply.clear();
    return true;
}
