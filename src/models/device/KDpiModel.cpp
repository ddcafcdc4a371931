#include "models/device/KDpiModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "hid/DeviceResultWait.h"
#include "hid/KBaseDevice.h"
#include "models/device/CurrentDevice.h"
#include "models/device/KImageModel.h"

#include <QDebug>
#include <QJsonArray>

#include <algorithm>

namespace {

constexpr int kLoadingMs = 2000;
constexpr int kSectionDpi = 0;
const QString kCategory = AnalyticsEvents::kDeviceDpi;

void sendEvent(const QString& action, const QString& label)
{
    AppServices::instance()->sendEvent(kCategory, action, label);
}

void saveDpiSection()
{
    AppServices::instance()->saveProfileSection(kSectionDpi, -1);
}

} // namespace

KDpiModel::KDpiModel(QObject* parent)
    : QObject(parent)
{
    connect(this, &KDpiModel::sig_uiModelChange, this, &KDpiModel::slot_uiModelChange);
}

KDpiModel::~KDpiModel() = default;

void KDpiModel::setValues(const QVector<int>& values)
{
    for (int i = 0; i < values.size() && i < m_enable.size(); ++i) {
        if (values.at(i) == 0) {
            m_enable[i] = false;
            emit enableChanged();
        }
    }
    m_values = values;
    m_values.resize(qMax(0, m_number));
}

void KDpiModel::setEnable(const QVector<bool>& enable)
{
    m_enable = enable;
    emit enableChanged();
}

int KDpiModel::deviceIndexOfStage(int stage) const
{
    if (stage < 0 || stage >= m_enable.size())
        return -1;
    return int(std::count(m_enable.cbegin(), m_enable.cbegin() + stage, true));
}

int KDpiModel::stageOfDeviceIndex(int deviceIndex) const
{
    if (deviceIndex < 0)
        return -1;
    int seen = 0;
    for (int stage = 0; stage < m_enable.size(); ++stage) {
        if (m_enable.at(stage) && seen++ == deviceIndex)
            return stage;
    }
    return -1;
}

bool KDpiModel::hasCurrentDpi()
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    return image && image->hasCurrentDpi();
}

// --- reading the device ----------------------------------------------------------------------------------------

void KDpiModel::deviceDataChange()
{
    KBaseDevice* device = CurrentDevice::writable();
    if (!device)
        return;
    CurrentDevice::readLayout(m_work, device, [this](QJsonObject layout) { emit sig_uiModelChange(layout); });
}

void KDpiModel::slot_uiModelChange(QJsonObject obj)
{
    const QJsonObject dpi = obj.value(QLatin1String("dpi")).toObject();
    if (dpi.isEmpty()) {
        // qDebug("...") keeps the line's trailing space, which the stream form would drop.
        qDebug("The configuration file does not include DPI ");
        return;
    }
    const int number = dpi.value(QLatin1String("number")).toInt();
    if (number >= 1 && number <= kMaxStages)
        m_number = number;
    else
        qDebug() << "[Error] the layout's number of DPI stages is not usable:" << number;
    m_minValue = dpi.value(QLatin1String("minValue")).toInt();
    m_maxValue = dpi.value(QLatin1String("maxValue")).toInt();
    m_stepValue = dpi.value(QLatin1String("stepValue")).toInt();
    m_type = dpi.value(QLatin1String("type")).toInt();

    QVector<int> allowed;
    if (m_type == 1) {
        if (m_stepValue > 0 && m_maxValue >= m_minValue) {
            const int steps = (m_maxValue - m_minValue) / m_stepValue;
            allowed.reserve(steps + 1);
            for (int k = 0; k <= steps; ++k)
                allowed << m_minValue + k * m_stepValue;
        }
    } else {
        for (const QJsonValue& value : dpi.value(QLatin1String("optionalValue")).toArray())
            allowed << value.toInt();
        // The searches below need the list in order.
        std::sort(allowed.begin(), allowed.end());
        allowed.erase(std::unique(allowed.begin(), allowed.end()), allowed.end());
    }
    m_optionalValue = allowed;
    resizeStages();

    emit numberChanged();
    emit minValueChanged();
    emit maxValueChanged();
    emit stepValueChanged();
    emit typeChanged();
    emit optionalValueChanged();
    emit valuesChanged();
}

void KDpiModel::resizeStages()
{
    // Stages the layout adds start switched off at the smallest value, until a profile or the user sets them.
    const int before = m_values.size();
    m_values.resize(m_number);
    for (int i = before; i < m_number; ++i)
        m_values[i] = m_minValue;
    if (m_enable.size() != m_number) {
        m_enable.resize(m_number);
        if (!m_enable.contains(true))
            m_enable[0] = true;
        emit enableChanged();
    }
    if (m_currentIndex >= m_number) {
        m_currentIndex = -1;
        emit currentIndexChanged();
    }
}

void KDpiModel::currentIndexChange()
{
    if (!hasCurrentDpi()) {
        m_currentIndex = -1;
        emit currentIndexChanged();
        return;
    }
    KBaseDevice* device = CurrentDevice::writable();
    if (!device)
        return;
    DeviceResultWait wait(device);
    m_work.run([device] { return device->getDpiIndex(); }, [this, device, done = wait.finisher()](int index) {
        // A late answer of a device unplugged meanwhile no longer describes the current device.
        if (index != -1 && !device->isRemoved()) {
            const int stage = stageOfDeviceIndex(index);
            m_currentIndex = stage >= 0 ? stage : 0;
            emit currentIndexChanged();
        }
        done();
    });
    wait.wait();
}

void KDpiModel::getCurrentDPIChange(int index)
{
    if (index < 0 || index > m_number)
        return;
    const int stage = stageOfDeviceIndex(index);
    const int next = stage >= 0 ? stage : 0;
    if (next == m_currentIndex)
        return;
    m_currentIndex = next;
    emit currentIndexChanged();
}

// --- allowed values --------------------------------------------------------------------------------------------

int KDpiModel::contrastDpi(int target)
{
    const QVector<int>& list = m_optionalValue;
    if (list.isEmpty())
        return target;
    const auto at = std::lower_bound(list.cbegin(), list.cend(), target);
    if (at != list.cend() && *at == target)
        return target;
    if (at == list.cbegin())
        return list.first();
    if (at == list.cend())
        return list.last();
    const int above = *at;
    const int below = *(at - 1);
    return (target - below) <= (above - target) ? below : above;
}

int KDpiModel::buttonChangeDpi(int value, int present)
{
    const QVector<int>& list = m_optionalValue;
    if (list.isEmpty())
        return present;
    if (value <= present) {
        // The next allowed value below the present one; the present one when there is none.
        const auto at = std::lower_bound(list.cbegin(), list.cend(), present);
        return at == list.cbegin() ? present : *(at - 1);
    }
    // The next allowed value above the present one; the largest when there is none.
    const auto at = std::upper_bound(list.cbegin(), list.cend(), present);
    return at == list.cend() ? list.last() : *at;
}

int KDpiModel::textChangeDpi(int value, int stepValue)
{
    Q_UNUSED(stepValue)
    return textChangeDpi(value);
}

int KDpiModel::textChangeDpi(int value)
{
    qDebug() << "textChangeDpi" << value << "type:" << m_type;
    if (std::binary_search(m_optionalValue.cbegin(), m_optionalValue.cend(), value)) {
        qDebug() << "hasOptionValue";
        return value;
    }
    if (m_type != 1 || m_stepValue <= 0)
        return contrastDpi(value);
    const int multiple = value / m_stepValue * m_stepValue;
    if (std::binary_search(m_optionalValue.cbegin(), m_optionalValue.cend(), multiple)) {
        qDebug() << "mDpiValue:" << multiple;
        return multiple;
    }
    // Below or above the range, or a range whose values are not multiples of the step: the nearest allowed.
    qDebug() << "hasOptionValue";
    return contrastDpi(value);
}

// --- writes ----------------------------------------------------------------------------------------------------

void KDpiModel::refreshValue(int index, int value)
{
    if (index < 0 || index >= m_values.size())
        return;
    m_values[index] = -1;
    emit valuesChanged();
    m_values[index] = value;
    emit valuesChanged();
}

void KDpiModel::refreshCurrentIndex(int index)
{
    m_currentIndex = -1;
    emit currentIndexChanged();
    m_currentIndex = index;
    emit currentIndexChanged();
}

bool KDpiModel::setDpi(int index, int value, bool write)
{
    if (index < 0 || index >= m_number || index >= m_values.size())
        return false;
    const int v = qBound(m_minValue, value, qMax(m_minValue, m_maxValue));
    if (v == m_values.at(index)) {
        qDebug() << "[info]:value not change";
        refreshValue(index, v);
        return true;
    }
    if (!write) {
        sendEvent(AnalyticsEvents::kDpiValue, QString::number(v));
        refreshValue(index, v);
        return true;
    }

    qDebug() << "[Info] write dpi value index:" << index << "value:" << value;
    KBaseDevice* device = CurrentDevice::writable();
    if (!device) {
        qDebug() << "[Error] no device to write the DPI value to";
        refreshValue(index, m_values.at(index));
        return false;
    }
    AppServices::instance()->startLoading(kLoadingMs);
    m_writes.enqueue(device, [this, index, v](KBaseDevice* device) {
        // Built when its turn comes, on every value the device has taken before it.
        QVector<int> list = m_values;
        const auto done = [this, index, v](bool ok) {
            if (ok) {
                sendEvent(AnalyticsEvents::kDpiValue, QString::number(v));
                refreshValue(index, v);
                saveDpiSection();
                AppServices::instance()->showSetCpiTips(v);
            } else {
                refreshValue(index, m_values.value(index));
                AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                sendEvent(AnalyticsEvents::kDpiValue, AnalyticsEvents::kFail);
            }
            AppServices::instance()->stopLoading();
            m_writes.done();
        };
        if (!device || index >= list.size())
            return done(false);
        list[index] = v;
        m_work.run(&KBaseDevice::setDpiList, device, list, done);
    });
    return true;
}

void KDpiModel::restoreEnable(int stage, bool kept)
{
    if (stage < m_enable.size())
        m_enable[stage] = kept;
    emit enableChanged();
}

bool KDpiModel::selectDpi(int index, bool write)
{
    if (index < 1 || index > m_number || index > m_enable.size())
        return false;
    if (!write)
        return true;

    const int stage = index - 1;
    const bool kept = m_enable.at(stage);
    m_enable[stage] = !kept;
    if (!m_enable.contains(true)) {
        AppServices::instance()->showTips(AppServices::TipFail, tr("Please retain at least one DPI"));
        restoreEnable(stage, kept);
        return false;
    }
    KBaseDevice* device = CurrentDevice::writable();
    if (!device) {
        qDebug() << "[Error] no device to switch the DPI stage on";
        restoreEnable(stage, kept);
        return false;
    }
    emit enableChanged();
    AppServices::instance()->startLoading(kLoadingMs);

    m_writes.enqueue(device, [this, index, stage, kept](KBaseDevice* device) {
        if (!device)
            return stageSwitchFailed("[ERROR] selectDpi->setDpiList", stage, kept);
        // A device that keeps no current stage has no index to move: its list alone says which stages run.
        if (index > m_currentIndex || m_currentIndex < 0 || !hasCurrentDpi())
            return writeStageList(device, stage, kept);
        // A stage before the current one changed: the device's index of the current stage moved with it.
        const int deviceIndex = deviceIndexOfStage(m_currentIndex);
        qDebug() << "currentIndex:" << deviceIndex;
        m_work.run(&KBaseDevice::setDpiIndex, device, deviceIndex, [this, device, stage, kept](bool ok) {
            if (!ok)
                return stageSwitchFailed("[Error] selectDpi->setDpiIndex", stage, kept);
            writeStageList(device, stage, kept);
        });
    });
    return true;
}

void KDpiModel::stageSwitchFailed(const char* log, int stage, bool kept)
{
    qDebug() << log;
    AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
    restoreEnable(stage, kept);
    AppServices::instance()->stopLoading();
    m_writes.done();
}

void KDpiModel::writeStageList(KBaseDevice* device, int stage, bool kept)
{
    m_work.run(&KBaseDevice::setDpiList, device, m_values, [this, device, stage, kept](bool ok) {
        if (!ok)
            return stageSwitchFailed("[ERROR] selectDpi->setDpiList", stage, kept);
        readBackCurrentStage(device);
    });
}

void KDpiModel::readBackCurrentStage(KBaseDevice* device)
{
    m_work.run([device] { return device->getDpiIndex(); }, [this](int index) {
        if (index >= 0) {
            const int stage = stageOfDeviceIndex(index);
            m_currentIndex = stage >= 0 ? stage : 0;
        }
        emit currentIndexChanged();
        saveDpiSection();
        AppServices::instance()->stopLoading();
        m_writes.done();
    });
}

bool KDpiModel::writeCurrentDpi(int index, bool write)
{
    if (!hasCurrentDpi())
        return true;
    if (index < 0 || index >= m_number || index >= m_values.size())
        return false;
    if (index == m_currentIndex)
        return true;
    // A switched-off stage has no device index: the device would take the next switched-on one.
    if (!m_enable.value(index)) {
        qDebug() << "[Error] the DPI stage is switched off:" << index;
        emit currentIndexChanged();
        return false;
    }
    const int deviceIndex = deviceIndexOfStage(index);
    if (!write) {
        sendEvent(AnalyticsEvents::kDpiValue, QString::number(m_values.at(index)));
        refreshCurrentIndex(index);
        return true;
    }

    qDebug() << "[Info] write curretn Dpi index:" << deviceIndex;
    KBaseDevice* device = CurrentDevice::writable();
    if (!device) {
        qDebug() << "[Error] no device to write the current DPI stage to";
        emit currentIndexChanged();
        return false;
    }
    AppServices::instance()->startLoading(kLoadingMs);
    m_writes.enqueue(device, [this, index, deviceIndex](KBaseDevice* device) {
        const auto done = [this, index](bool ok) {
            if (ok) {
                sendEvent(AnalyticsEvents::kCurrentDpiIndex, QString::number(index));
                refreshCurrentIndex(index);
                saveDpiSection();
                AppServices::instance()->showSetCpiTips(m_values.value(index));
            } else {
                refreshCurrentIndex(m_currentIndex);
                AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                sendEvent(AnalyticsEvents::kCurrentDpiIndex, AnalyticsEvents::kFail);
            }
            AppServices::instance()->stopLoading();
            m_writes.done();
        };
        if (!device)
            return done(false);
        m_work.run(&KBaseDevice::setDpiIndex, device, deviceIndex, done);
    });
    return true;
}
