#include "models/device/FOledModel.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/LocalPath.h"
#include "common/ProgramFolders.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/KImageModel.h"
#include "models/device/ImageFiles.h"
#include "models/device/LightPreset.h"

#include "common/LoopDeadline.h"

#include <QBuffer>
#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int kLoadingMs = 2000;
// A device read that has not come back by then is given up, so that the interface never stays blocked.
constexpr int kReadTimeoutMs = 10000;
constexpr int kScreenWidth = 64;
constexpr int kScreenHeight = 48;
// Pictures handed in are refused beyond this size before they are decoded.
constexpr int kMaxSourceSide = 4096;

const QString kCategory = AnalyticsEvents::kDeviceOled;
const QString kPictureFileName = QStringLiteral("/test.bmp");
const QString kPngPrefix = QStringLiteral("data:image/png;base64,");

KBaseDevice* currentDevice()
{
    return KDeviceController::instance()->currentDevice();
}

} // namespace

FOledModel::FOledModel(QObject* parent)
    : QObject(parent)
{
}

FOledModel::~FOledModel() = default;

QString FOledModel::pictureFilePath()
{
    return ProgramFolders::profileRoot() + kPictureFileName;
}

void FOledModel::storeOledLight(int value, bool notify)
{
    m_oledLight = value;
    if (notify)
        emit oledLightChanged();
}

void FOledModel::setFontSize(int size)
{
    if (size < kMinFontSize) {
        m_fontSize = -1;
        emit fontSizeChanged();
        m_fontSize = kMinFontSize;
    } else if (size > kMaxFontSize) {
        m_fontSize = -1;
        emit fontSizeChanged();
        m_fontSize = kMaxFontSize;
    } else {
        m_fontSize = size;
    }
    emit fontSizeChanged();
}

void FOledModel::setOledMode(int mode)
{
    m_oledMode = mode;
    emit oledModeChanged();
}

void FOledModel::setFontFamily(QString family)
{
    m_fontFamily = family;
    emit fontFamilyChanged();
}

void FOledModel::sendEvent(const QString& action, const QString& label)
{
    AppServices::instance()->sendEvent(kCategory, action, label);
}

void FOledModel::readAndWait(int (KBaseDevice::*read)(), const std::function<void(int)>& done)
{
    KBaseDevice* device = currentDevice();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    bool finished = false;
    m_work.run([device, read] { return (device->*read)(); },
               [done, waiting, &finished](int value) {
                   // After a time-out the wait is over and this frame gone: the value is still taken.
                   if (waiting) {
                       finished = true;
                       waiting->quit();
                   }
                   done(value);
               });
    if (finished)
        return;
    execWithDeadline(loop, kReadTimeoutMs, [] { qDebug() << "[Error] the OLED read timed out"; });
}

void FOledModel::deviceDataChange()
{
    KImageModel* image = AppServices::instance()->getImageModel();
    if (!currentDevice() || !image || !image->hasOLED())
        return;

    QPointer<FOledModel> self(this);
    readAndWait(&KBaseDevice::getOLEDLightIntensity, [self](int light) {
        if (self && light != -1)
            self->storeOledLight(light, true);
    });
    if (!self)
        return;
    readAndWait(&KBaseDevice::getCurrentPicIndex, [self](int mode) {
        if (self && mode >= 0 && mode <= kMaxMode)
            self->setOledMode(mode);
    });
}

void FOledModel::setOledLight(int data)
{
    AppServices::instance()->startLoading(kLoadingMs);
    KBaseDevice* device = currentDevice();
    m_work.run([device, data] { return device->setOLEDLightIntensity(data); }, [this, data](bool ok) {
        if (!ok) {
            qDebug() << "[Error] write selectReport index:" << data;
            AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
            sendEvent(AnalyticsEvents::kOledLight, AnalyticsEvents::kFail);
            emit oledLightChanged();
            // The work is over: the window is free again at once, not when the indicator's time runs out.
            AppServices::instance()->stopLoading();
            return;
        }
        showNoLightPreset();
        sendEvent(AnalyticsEvents::kOledLight, QString::number(data));
        storeOledLight(data, true);
        AppServices::instance()->stopLoading();
    });
}

bool FOledModel::changeMode(int mode)
{
    if (mode == m_oledMode)
        return true;
    AppServices::instance()->startLoading(kLoadingMs);
    KBaseDevice* device = currentDevice();
    m_work.run([device, mode] { return device->setCurrentPicIndex(mode); }, [this, mode](bool ok) {
        if (!ok) {
            qDebug() << "[Error] write OLEDmode index:" << mode;
            AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
            sendEvent(AnalyticsEvents::kChangeMode, AnalyticsEvents::kFail);
        } else {
            showNoLightPreset();
            sendEvent(AnalyticsEvents::kChangeMode, QString::number(mode));
            setOledMode(mode);
        }
        AppServices::instance()->stopLoading();
    });
    return true;
}

void FOledModel::setPictureToMouse()
{
    AppServices::instance()->startLoading(kLoadingMs);
    KBaseDevice* device = currentDevice();
    m_work.run([device] { return device->writeImageToMouse(); }, [this, device](bool uploaded) {
        if (!uploaded) {
            uploadFailed();
            AppServices::instance()->stopLoading();
            return;
        }
        // The picture is on the device: it is shown once the screen is in picture mode.
        const int mode = kPictureMode;
        m_work.run([device, mode] { return device->setCurrentPicIndex(mode); }, [this](bool switched) {
            if (!switched) {
                AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
                sendEvent(AnalyticsEvents::kSetPicture, AnalyticsEvents::kFail);
                qDebug() << "[Error] write OLEDmode index: pictureMode";
                removePictureFile();
                emit oledModeChanged();
            } else {
                m_oledMode = kPictureMode;
                emit oledModeChanged();
                removePictureFile();
                sendEvent(AnalyticsEvents::kSetPicture, AnalyticsEvents::kSuccess);
            }
            AppServices::instance()->stopLoading();
        });
    });
}

void FOledModel::uploadFailed()
{
    qDebug() << "[Error] write OLEDmode index: pictureMode";
    sendEvent(AnalyticsEvents::kSetPicture, AnalyticsEvents::kFail);
    AppServices::instance()->startWarning(AppServices::WarningOperationFailed);
    removePictureFile();
    emit oledModeChanged();
}

void FOledModel::removePictureFile() const
{
    const QString path = pictureFilePath();
    if (QFileInfo::exists(path) && !QFile::remove(path))
        qDebug() << "[Error] could not remove the OLED picture file" << path;
}

bool FOledModel::tranBase64toBmp(QString data, QString url)
{
    const QString target = url.isEmpty() ? ProgramFolders::programFolder() + kPictureFileName : localPathOf(url);

    QByteArray text = data.remove(kPngPrefix).toLatin1();
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;

    QBuffer source;
    source.setData(decoded.decoded);
    source.open(QIODevice::ReadOnly);
    QImageReader reader(&source);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxSourceSide || size.height() > kMaxSourceSide)
        return false;
    const QImage picture = reader.read();
    if (picture.isNull())
        return false;

    const QImage screen = picture.scaled(kScreenWidth, kScreenHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_Mono);
    return saveImageFile(screen, target);
}
