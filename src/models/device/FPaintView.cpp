#include "models/device/FPaintView.h"

#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "models/InterfaceFont.h"
#include "common/LocalPath.h"
#include "common/ProgramFolders.h"
#include "models/device/FOledModel.h"
#include "models/device/ImageFiles.h"
#include "models/device/KImageModel.h"

#include <QDebug>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// The device whose screen is wide (128 x 32); the others have 64 x 48.
const QString kWideScreenDevice = QStringLiteral("Edris");

// The two-collection mice, named by their catalogue model, share that screen.
bool isWideScreen(const QString& deviceName)
{
    if (deviceName == kWideScreenDevice)
        return true;
    const DeviceIds::Model* model = DeviceIds::find(DeviceIds::mousePid(deviceName.toLatin1().constData()));
    return model && model->family == DeviceIds::Family::ProfileImageMouse;
}
constexpr int kDefaultFontSize = 110;

// The editor's font: the interface font, upright and of normal weight.
QFont editorFont()
{
    static const QFont font = [] {
        QFont chosen(InterfaceFont::family(), -1, QFont::Normal, false);
        chosen.setBold(false);
        return chosen;
    }();
    return font;
}

} // namespace

FPaintView::FPaintView(QQuickItem* parent)
    : QQuickPaintedItem(parent)
    , m_font(editorFont())
{
    setPaintState(false);
    setOledWidth(540);
    setOledHight(370);
    setRatio(5.0);
    setAcceptedMouseButtons(Qt::LeftButton);
    const QSize screen = screenSize();
    qDebug() << "mOledWidth:" << screen.width();
    qDebug() << "mOledHeight:" << screen.height();
}

FPaintView::~FPaintView() = default;

void FPaintView::setPaintState(bool state)
{
    m_paintState = state;
    emit paintStateChanged();
}

void FPaintView::setOledWidth(int width)
{
    m_oledWidth = width;
    emit oledWidthChanged();
}

void FPaintView::setOledHight(int height)
{
    m_oledHight = height;
    emit oledHightChanged();
}

void FPaintView::setRatio(double ratio)
{
    // Every size and point is divided by it.
    if (std::isfinite(ratio) && ratio > 0)
        m_ratio = ratio;
    else
        qDebug() << "[Error] the picture editor's ratio must be a positive number, not" << ratio;
    emit ratioChanged();
}

QSize FPaintView::screenSize() const
{
    return QSize(int(m_oledWidth / m_ratio), int(m_oledHight / m_ratio));
}

void FPaintView::deviceChanged()
{
    const bool small = qFuzzyCompare(AppServices::instance()->uiScale(), 0.75f);
    const KImageModel* image = AppServices::instance()->getImageModel();
    const bool wide = image && isWideScreen(image->deviceName());
    setRatio(small ? (wide ? 3 : 6) : (wide ? 4 : 8));
    setOledWidth(small ? 384 : 512);
    setOledHight(small ? (wide ? 96 : 288) : (wide ? 128 : 384));
}

QImage FPaintView::renderPicture() const
{
    const QSize size = screenSize();
    if (size.isEmpty())
        return QImage();
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);

    const QColor fill = fillColor();
    if (fill == QColor(Qt::white)) {
        picture.fill(Qt::white);
        painter.setPen(Qt::black);
    } else if (fill == QColor(Qt::black)) {
        picture.fill(Qt::black);
        painter.setPen(Qt::white);
    }

    if (!m_picturePath.isEmpty()) {
        const QImage background(m_picturePath);
        qDebug() << "[Info] editor background" << m_picturePath << background;
        if (!background.isNull())
            painter.drawImage(QRect(QPoint(0, 0), size), background);
    }

    for (const QVector<QPointF>& stroke : m_strokes) {
        for (int i = 1; i < stroke.size(); ++i) {
            const QPoint from(qRound(stroke.at(i - 1).x() / m_ratio), qRound(stroke.at(i - 1).y() / m_ratio));
            const QPoint to(qRound(stroke.at(i).x() / m_ratio), qRound(stroke.at(i).y() / m_ratio));
            painter.drawLine(from, to);
        }
    }

    if (!m_text.isEmpty()) {
        const FOledModel* oled = AppServices::instance()->getOledModel();
        const int size = AppServices::instance()->scaleLength(oled ? oled->fontSize() : kDefaultFontSize);
        QFont font = m_font;
        font.setPixelSize(qMax(1, int(size / m_ratio)));
        painter.setFont(font);
        painter.drawText(picture.rect(), Qt::AlignCenter, m_text);
    }
    return picture;
}

void FPaintView::paint(QPainter* painter)
{
    const QImage picture = renderPicture();
    if (picture.isNull())
        return;
    painter->scale(m_ratio, m_ratio);
    painter->drawImage(QPoint(0, 0), picture);
}

void FPaintView::undo()
{
    if (m_strokes.isEmpty())
        return;
    m_strokes.removeLast();
    update();
}

void FPaintView::clear()
{
    m_picturePath.clear();
    m_strokes.clear();
    m_text.clear();
    update();
}

void FPaintView::openPicture(QString path)
{
    setPaintState(true);
    if (!path.isEmpty())
        m_strokes.clear();
    m_picturePath = localPathOf(path);
    update();
}

void FPaintView::textInput(QString text)
{
    m_text = text;
    update();
}

bool FPaintView::savePicture(QString path)
{
    QString target = localPathOf(path);
    if (path.isEmpty()) {
        target = FOledModel::pictureFilePath();
        QDir().mkpath(ProgramFolders::profileRoot());
    }
    if (saveImageFile(renderPicture(), target, "BMP")) {
        qDebug() << "save widget screen succed";
        return true;
    }
    qDebug() << "save widget screen failed";
    return false;
}

void FPaintView::addPoint(QMouseEvent* event)
{
    if (!m_paintState || !m_pressed || m_strokes.isEmpty()) {
        event->ignore();
        return;
    }
    m_strokes.last().append(event->localPos());
    update();
}

void FPaintView::mousePressEvent(QMouseEvent* event)
{
    m_pressed = m_paintState;
    if (!m_pressed) {
        event->ignore();
        return;
    }
    m_strokes.append(QVector<QPointF>{event->localPos()});
}

void FPaintView::mouseMoveEvent(QMouseEvent* event)
{
    addPoint(event);
}

void FPaintView::mouseReleaseEvent(QMouseEvent* event)
{
    addPoint(event);
    m_pressed = false;
}
