#include "models/device/KReportModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/KBaseDevice.h"
#include "models/device/CurrentDevice.h"

#include <QDebug>
#include <QJsonArray>

namespace {

constexpr int kLoadingMs = 2000;
constexpr int kSectionReport = 6;
const QString kCategory = AnalyticsEvents::kDeviceReport;

} // namespace

KReportModel::KReportModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &KReportModel::sig_uiModelChange, this, &KReportModel::slot_uiModelChange);
}

KReportModel::~KReportModel() = default;

void KReportModel::setCurrentReport(int index)
{
    m_currentReport = index;
    emit currentReportChanged();
}

void KReportModel::deviceDataChange()
{
    KBaseDevice* device = CurrentDevice::writable();
    if (!device)
        return;
    CurrentDevice::readLayout(m_work, device, [this](QJsonObject layout) { emit sig_uiModelChange(layout); });
}

void KReportModel::slot_uiModelChange(QJsonObject obj)
{
    const QJsonObject report = obj.value(QLatin1String("report")).toObject();
    m_number = report.value(QLatin1String("number")).toInt();
    m_values.clear();
    for (const QJsonValue& value : report.value(QLatin1String("value")).toArray())
        m_values << value.toInt();
    emit numberChanged();
    emit valuesChanged();
}

bool KReportModel::selectReport(int index, bool write)
{
    if (index < 0 || index >= m_values.size())
        return false;
    if (!write) {
        setCurrentReport(index);
        return true;
    }
    KBaseDevice* device = CurrentDevice::writable();
    if (!device) {
        // Nothing to write to: no busy indicator, and the selector shows the kept rate again.
        qDebug() << "[Error] no device to write the report rate to";
        emit currentReportChanged();
        return false;
    }
    AppServices::instance()->startLoading(kLoadingMs);
    m_writes.enqueue(device, [this, index](KBaseDevice* device) {
        const auto done = [this, index](bool ok) {
            AppServices* services = AppServices::instance();
            if (!ok) {
                qDebug() << "[Error] write selectReport index:" << index;
                services->sendEvent(kCategory, AnalyticsEvents::kReport, AnalyticsEvents::kFail);
                services->startWarning(AppServices::WarningOperationFailed);
                const int kept = m_currentReport;
                setCurrentReport(-1);
                setCurrentReport(kept);
            } else {
                services->sendEvent(kCategory, AnalyticsEvents::kReport, QString::number(index));
                setCurrentReport(index);
                qDebug() << "[Info] write selectReport index:" << index;
                services->saveProfileSection(kSectionReport, -1);
            }
            services->stopLoading();
            m_writes.done();
        };
        if (!device)
            return done(false);
        m_work.run(&KBaseDevice::setReportRate, device, index, done);
    });
    return true;
}
