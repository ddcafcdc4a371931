#include "app/SceneGraphBackend.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace SceneGraphBackend {

bool isSoftwareRasterizer(const QString& glRenderer)
{
    static const char* const kCpuRenderers[] = {"llvmpipe", "softpipe", "software rasterizer", "swrast"};
    const QString renderer = glRenderer.toLower();
    for (const char* name : kCpuRenderers) {
        if (renderer.contains(QLatin1String(name)))
            return true;
    }
    return false;
}

bool hasGraphicsDevice(const QString& driFolder, const QString& devFolder)
{
    if (!QDir(driFolder).entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files).isEmpty())
        return true;
    return QFileInfo::exists(QDir(devFolder).filePath(QStringLiteral("nvidia0")));
}

namespace {

// The renderer string of an OpenGL context on an offscreen surface; empty when none can be made current.
QString openGlRenderer()
{
    QOpenGLContext context;
    if (!context.create())
        return {};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return {};
    const auto* text = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = text ? QString::fromLatin1(text) : QString();
    context.doneCurrent();
    return renderer;
}

} // namespace

QString choose()
{
    QString line;
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) {
        line = QStringLiteral("scene graph: %1, as QT_QUICK_BACKEND asks").arg(qEnvironmentVariable("QT_QUICK_BACKEND"));
    } else if (!hasGraphicsDevice()) {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        line = QStringLiteral("scene graph: software (no graphics device)");
    } else {
        const QString renderer = openGlRenderer();
        if (renderer.isEmpty() || isSoftwareRasterizer(renderer)) {
            QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
            line = renderer.isEmpty() ? QStringLiteral("scene graph: software (no OpenGL context)")
                                      : QStringLiteral("scene graph: software (OpenGL is drawn by the CPU: %1)").arg(renderer);
        } else {
            line = QStringLiteral("scene graph: OpenGL (%1)").arg(renderer);
        }
    }
    qInfo().noquote() << line;
    return line;
}

} // namespace SceneGraphBackend
