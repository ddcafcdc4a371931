#include "update/Farrant_Nordic_Bootload.h"

#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "firmware/NordicDfuEntry.h"

#include <QDebug>

namespace {

constexpr quint16 kUsage = 14;
constexpr quint16 kUsagePage = 0xFF00;

const DeviceIds::NordicDfuIds* findModel(const QString& model)
{
    for (const DeviceIds::NordicDfuIds& entry : DeviceIds::kNordicDfu) {
        if (model == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

Farrant_Nordic_Bootload::Farrant_Nordic_Bootload(QObject* parent)
    : QObject(parent)
    , m_thread(new Farrant_Nordic_BootloadThread)
    , m_tool(new NrfutilRun(this))
{
    connect(m_thread, &Farrant_Nordic_BootloadThread::sigResult, this, &Farrant_Nordic_Bootload::slotFindUARTPortResult);
    connect(m_tool, &NrfutilRun::progress, this, &Farrant_Nordic_Bootload::sigProgress);
    connect(m_tool, &NrfutilRun::finished, this, &Farrant_Nordic_Bootload::report);
}

Farrant_Nordic_Bootload::~Farrant_Nordic_Bootload()
{
    m_thread->stop();
    m_thread->wait();
    delete m_thread;
    m_tool->cancel();
}

bool Farrant_Nordic_Bootload::start(const QString& model)
{
    const DeviceIds::NordicDfuIds* entry = findModel(model);
    if (!entry || m_thread->isRunning())
        return false;
    m_model = model;
    m_pid = entry->wired;
    m_package = model + QStringLiteral("_nRF52833_USB_DFU.zip");
    m_reported = false;
    // A mouse already in its bootloader has no application interface; the port search decides.
    m_deviceMissing = !NordicDfuEntry::enterDfu(DeviceIds::kVendorId, entry->wired, kUsage, kUsagePage);
    if (m_deviceMissing)
        qDebug() << "deviceInfo error";
    m_thread->setPid(entry->dfu);
    m_thread->start();
    return true;
}

void Farrant_Nordic_Bootload::slotFindUARTPortResult(QString portNumber)
{
    if (portNumber.isEmpty()) {
        report(false, m_deviceMissing ? QStringLiteral("[警告] 未找到该pid设备")
                                      : QStringLiteral("[警告] 未找到串口号设备: ") + portNumber);
        return;
    }
    const QString folder = ProgramFolders::programFolder() + QStringLiteral("/Update/Local/") + m_model;
    m_tool->start(folder + QStringLiteral("/nrfutil.exe"), NrfutilRun::arguments(folder + QLatin1Char('/') + m_package,
                                                                                  portNumber));
}

void Farrant_Nordic_Bootload::report(bool success, const QString& message)
{
    if (m_reported)
        return;
    m_reported = true;
    emit sigResult(success, message);
}
