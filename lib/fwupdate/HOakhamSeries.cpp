#include "HOakhamSeries.h"

#include "ModelPidMap.h"

#include "common/DeviceIds.h"
#include "firmware/FlashToolFiles.h"
#include "hid/khid/KHidFunctions.h"

#include <QDebug>
#include <QDir>

#include <cstring>
#include <vector>

namespace {

constexpr quint16 kIdUsage = 1;
constexpr quint16 kIdUsagePage = 0xFF01;
constexpr int kIdReportSize = 33;
constexpr quint8 kIdCommand = 0x14;
constexpr quint8 kIdSubCommand = 0x01;

} // namespace

HOakhamSeries::HOakhamSeries(QObject* parent)
    : HBaseDevice(parent)
{
    connect(this, &HOakhamSeries::sig_HOakhamseriesFinished, this, &HOakhamSeries::slot_HOakhamSeriesFinished);
}

bool HOakhamSeries::startUpdate(int* pid, QString fileName)
{
    Q_UNUSED(fileName)
    m_model = ModelPidMap::modelName(pid ? *pid : 0);
    const QString base = programFolder();
    const QString source = firmwarePath().isEmpty() ? base + QStringLiteral("/Update/Local/") + m_model : firmwarePath();
    const QString tool = base + FlashToolFiles::oakhamToolFolder();
    qDebug() << source << tool;

    for (const QString& file : FlashToolFiles::oakhamFiles()) {
        if (!copyFile(QFileInfo(source + file), QFileInfo(tool + file), true)) {
            emit sig_fwUpdateRequest(2, QStringLiteral("Oakhamseries copyfile error!"));
            return false;
        }
    }
    const QString previous = QDir::currentPath();
    if (!QDir::setCurrent(tool)) {
        emit sig_fwUpdateRequest(2, QStringLiteral("Oakhamseries setCurrent error!"));
        return false;
    }

    int exitCode = -1;
    const bool started = runFlashTool(tool + QStringLiteral("/Flintor.exe"), &exitCode);
    if (started)
        emit sig_HOakhamseriesFinished(exitCode);
    else
        qDebug() << "error OakhamSeries firmwareUpdate";

    for (const QString& file : FlashToolFiles::oakhamFiles())
        removeFile(QFileInfo(tool + file));
    if (!QDir::setCurrent(previous.isEmpty() ? base : previous))
        qDebug() << "Oakhamseries setCurrent error!";
    qDebug() << "UpdateMouseDialog::slot_runUpdateExe" << tool;
    // A program that never ran has sent its one failure already.
    return started;
}

void HOakhamSeries::slot_HOakhamSeriesFinished(int exitCode)
{
    qDebug() << "start refresh";
    qDebug() << "烧录完毕，写入PID";
    // A failed flash leaves the mouse as the program left it; only a flashed mouse gets its id back.
    if (exitCode == 0)
        writeProductId();
    if (exitCode == 0)
        emit sig_fwUpdateRequest(0, QStringLiteral("OakhamSeries refresh success!"));
    else
        emit sig_fwUpdateRequest(2, QStringLiteral("OakhamSeries refresh error!"));
}

void HOakhamSeries::writeProductId()
{
    KHID::KHidDetail found;
    bool present = false;
    KHID::enumHidDevices([&](KHID::KHidDetail detail, bool& keepGoing) {
        if (detail.vendorId == DeviceIds::kVendorId && detail.productId == DeviceIds::kDunmor
            && detail.capabilities.usage == kIdUsage && detail.capabilities.usagePage == kIdUsagePage) {
            found = detail;
            present = true;
            keepGoing = false;
        }
    });
    if (!present)
        return;

    KHID::HANDLE handle = KHID::INVALID_HANDLE_VALUE;
    if (!KHID::openWriteHandle(found.devicePath, handle)) {
        qDebug() << "error: open write handle";
        return;
    }
    const int pid = ModelPidMap::productId(m_model);
    qDebug() << "pid:" << pid;

    const int featureLength = qMax<int>(3, found.capabilities.featureReportByteLength);
    std::vector<quint8> feature(size_t(featureLength), 0);
    feature[1] = kIdCommand;
    feature[2] = kIdSubCommand;
    if (!KHID::sendFeatureToHandle(handle, feature.data(), KHID::DWORD(featureLength)))
        qDebug() << "error: sendFeature";

    quint8 report[kIdReportSize] = {};
    report[1] = quint8(pid & 0xFF);
    report[2] = quint8((pid >> 8) & 0xFF);
    KHID::DWORD written = 0;
    if (!KHID::writeDataToHandle(handle, report, sizeof report, &written))
        qDebug() << "error: writePackageToHandle";
    KHID::closeHandle(handle);
    qDebug() << "写入Pid完毕 " << pid;
}
