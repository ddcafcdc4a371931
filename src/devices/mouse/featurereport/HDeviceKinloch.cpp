#include "devices/mouse/featurereport/HDeviceKinloch.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "devices/mouse/featurereport/DunmorProtocol.h"
#include "models/device/KDpiModel.h"

#include <QDebug>

using namespace Dunmor;

HDeviceKinloch::HDeviceKinloch(QObject* parent)
    : KDeviceDunmor(DeviceIds::kKinloch, parent)
{
}

QVector<int> HDeviceKinloch::getDpiList()
{
    MouseOperation op(m_session);
    QByteArray page;
    if (!op.isHeld() || !readDpiPage(&page))
        return QVector<int>();
    return dpiListOfPage(page, [](int code) { return kinlochDpiFromCode(code); });
}

bool HDeviceKinloch::setDpiList(const QVector<int>& values)
{
    MouseOperation op(m_session);
    if (!op.isHeld())
        return false;
    const QVector<bool> enable = op.ui().dpiEnable;
    if (values.size() > enable.size()) {
        qDebug() << "[ERROR] setDpiList: more values than stage switches" << values.size() << enable.size();
        return false;
    }
    QVector<quint8> codes;
    for (int i = 0; i < values.size(); ++i) {
        if (!enable.at(i))
            continue;
        const quint8 code = kinlochCodeFromDpi(values.at(i));
        if (code > 0) {
            codes << code;
        } else if (i < kKinlochDefaultStages) {
            const quint8 fallback = kKinlochDefaultCode[i];
            codes << fallback;
            // The stage shows what the mouse now has; the model is only told, nothing more is written.
            const int dpi = kinlochDpiFromCode(fallback);
            op.onSuccess([i, dpi] {
                if (KDpiModel* model = AppServices::instance()->getDpiModel())
                    model->setDpi(i, dpi, false);
            });
        }
    }
    return op.finish(writeDpiPage(codes));
}

int HDeviceKinloch::setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                             QVariant times, const int& slot)
{
    return writeMacro(DunmorMacro::Dialect::Kinloch, ignoreDelay, playType, items, times.toInt(), slot);
}
