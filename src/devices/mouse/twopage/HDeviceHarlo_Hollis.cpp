#include "devices/mouse/twopage/HDeviceHarlo_Hollis.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/mouse/twopage/UlverdProtocol.h"
#include "hid/FarrantInterruputRead.h"
#include "hid/HCommunicateManager.h"
#include "hid/khid/KUSBDevice.h"
#include "platform/sys/PlatformTime.h"

#include <QDebug>
#include <QMutexLocker>
#include <QRegularExpression>

using namespace Ulverd;
using namespace TwoPage;

namespace {

DpiTable linearTableA()
{
    DpiTable table;
    for (int value = kDpiMin; value <= kDpiMax; value += kDpiStep)
        table.insert(value, lockedTableACode(value));
    return table;
}

} // namespace

HDeviceHarlo_Hollis::HDeviceHarlo_Hollis(QObject* parent)
    : HDeviceHarlo_Hollis(DeviceIds::kHarloHollis, parent)
{
}

HDeviceHarlo_Hollis::HDeviceHarlo_Hollis(quint16 pid, QObject* parent)
    : HDeviceUlverd(pid, Dialect::Locked, parent)
{
    setDpiTables(linearTableA(), dpiTable(kDpiTableB, false));
    m_readThread = new FarrantInterruputRead();
    connect(m_readThread, &FarrantInterruputRead::postMsg, this, &HDeviceHarlo_Hollis::onInterruptMessage);
    connect(m_readThread, &FarrantInterruputRead::sigData, this, &HDeviceHarlo_Hollis::onInterruptData);
    connect(this, &KBaseDevice::sigStartThread, this, &HDeviceHarlo_Hollis::startReader);
}

HDeviceHarlo_Hollis::~HDeviceHarlo_Hollis()
{
    // Stopped and joined before anything it reports into goes.
    if (m_readThread) {
        m_readThread->stop();
        delete m_readThread;
        m_readThread = nullptr;
    }
}

bool HDeviceHarlo_Hollis::initDevice()
{
    opened = openForInit();
    // A first read that fails is shown, but the mouse counts as opened; the reader starts in every case.
    if (opened && !runStartupRead())
        AppServices::instance()->startWarning(AppServices::WarningDeviceConnect);
    startReader();
    return opened;
}

bool HDeviceHarlo_Hollis::openChannel()
{
    // The shared channel belongs to HCommunicateManager: an open again only closes it.
    if (m_channel && m_channel->isOpened())
        m_channel->close();
    m_channel = HCommunicateManager::instance()->getDevice(this);
    m_transport.setChannel(m_channel);
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        if (m_channel->initDevice(DeviceIds::kVendorId, m_pid, kUsage, kUsagePage,
                                  QString::fromLatin1(kLockedCommandPathPart)))
            return true;
        if (attempt + 1 < kOpenTries) {
            Platform::sleepMs(kOpenRetryPauseMs);
            qDebug() << "[ERROR] init fail retry" << attempt;
        }
    }
    return false;
}

bool HDeviceHarlo_Hollis::enterGameMode()
{
    return readData();
}

void HDeviceHarlo_Hollis::imageRead()
{
    const int stage = getDpiIndex();
    if (stage >= 0 && stage < kDpiStages)
        m_currentDpi = dpiCodeToValue(quint8(image().at(dpiCodeByte(stage))));
}

void HDeviceHarlo_Hollis::startReader()
{
    if (!m_readThread || m_readThread->isRunning())
        return;
    m_readThread->setPid(m_pid);
    m_readThread->start(QThread::InheritPriority);
}

void HDeviceHarlo_Hollis::onInterruptMessage(QString message)
{
    message.remove(QRegularExpression(QStringLiteral("\\s")));
    qDebug() << "InterruputRead:" << message;
}

void HDeviceHarlo_Hollis::onInterruptData(QString data)
{
    if (data.size() < kInterruptMinLength)
        return;
    const int stage = data.at(kInterruptStageByte).unicode();
    if (stage > kInterruptMaxStage)
        return;
    const int dpi = (data.at(kInterruptDpiByte).unicode() & 0xFF) + 256 * (data.at(kInterruptDpiByte + 1).unicode() & 0xFF);
    {
        QMutexLocker lock(&m_stateLock);
        m_image[kDpiStageByte] = char(stage);
        ++m_stageReports;
    }
    m_currentDpi = dpi;
    qDebug() << "mCurrentCpi:" << dpi;
    emit sigcurrentCPI(stage);
}
