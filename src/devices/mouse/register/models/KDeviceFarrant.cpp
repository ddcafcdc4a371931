#include "devices/mouse/register/models/KDeviceFarrant.h"

#include "common/DeviceIds.h"
#include "devices/mouse/register/FarrantNordicProtocol.h"

#include <QDebug>

using namespace FarrantNordic;

namespace {

constexpr int kFiveStages = 5;
constexpr int kStageMinDpi = 200;
constexpr int kStageMaxDpi = 5000;
constexpr int kStageStepDpi = 100;
constexpr int kMaxStageCode = (kStageMaxDpi - kStageMinDpi) / kStageStepDpi;  // 48
constexpr int kFiveStageReadLength = 24;
static_assert(kMaxStageCode == 48, "codes 0..48 cover 200..5000 DPI");

} // namespace

KDeviceFarrant::KDeviceFarrant(QObject* parent)
    : KDeviceFarrant(DeviceIds::kFarrant, parent)
{
}

KDeviceFarrant::KDeviceFarrant(int pid, QObject* parent)
    : KDeviceFarrant_Nordic(pid, parent)
{
}

bool KDeviceFarrant::openChannel()
{
    return openOwnChannel();
}

bool KDeviceFarrant::afterOpen()
{
    // Game mode once; no reader thread on this line.
    const StepResult step = runOpeningStep([this] { return enterGameModeOnce(); });
    if (step != StepResult::Ok)
        opened = false;
    return opened;
}

QVector<int> KDeviceFarrant::readFiveStages()
{
    MouseOperation op(session());
    if (!op.isHeld())
        return QVector<int>();
    const QByteArray block = readBytes(kRegDpiStages, kFiveStageReadLength, true);
    if (block.isEmpty())
        return QVector<int>();
    QVector<int> stages;
    for (int i = 0; i < kFiveStages; ++i) {
        const int code = quint8(block[2 * i]);
        stages << (code <= kMaxStageCode ? (code + 2) * kStageStepDpi : 0);
    }
    return stages;
}

bool KDeviceFarrant::writeFiveStages(const QVector<int>& values)
{
    if (values.isEmpty() || values.size() > kFiveStages) {
        qDebug() << "[ERROR] setDpiList: stages" << values.size();
        return false;
    }
    for (int value : values) {
        if (value > kStageMaxDpi) {
            qDebug() << "[ERROR] setDpiList: value" << value;
            return false;
        }
    }
    MouseOperation op(session());
    if (!op.isHeld())
        return false;
    // A stage the DPI model holds no switch for counts as enabled.
    const QVector<bool>& enable = op.ui().dpiEnable;
    QVector<int> enabled;
    QVector<int> disabled;
    for (int i = 0; i < values.size(); ++i)
        (i >= enable.size() || enable[i] ? enabled : disabled) << values[i];
    if (enabled.isEmpty()) {
        qDebug() << "[ERROR] setDpiList: no stage enabled";
        return false;
    }
    QByteArray block(kDpiListLength, '\0');
    int slot = 0;
    for (int value : enabled + disabled) {
        block[2 * slot] = char(value >= kStageMinDpi ? (value - kStageMinDpi) / kStageStepDpi : 0);
        ++slot;
    }
    block[int(kRegDpiHighestIndex - kRegDpiStages)] = char(enabled.size() - 1);
    return op.finish(writeWord(kRegDpiStages, block, false));
}
