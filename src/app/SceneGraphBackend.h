#pragma once

#include <QString>

// Chooses how Qt Quick draws the windows, once, before the first window exists.
//
// Where OpenGL is drawn by the CPU (Mesa's llvmpipe or softpipe in a virtual machine, a remote session or a
// virtual X server), Qt Quick's own software renderer paints the interface several times faster and with far less
// memory than the rasterised OpenGL path; where there is no OpenGL at all it is the only renderer that works. A
// graphics card keeps the OpenGL renderer. QT_QUICK_BACKEND set by the user always wins.
//
// Threads: GUI thread only, after the application object exists and before the QML engine creates a window.
namespace SceneGraphBackend {

// True for the renderer strings of OpenGL implementations that draw on the CPU.
bool isSoftwareRasterizer(const QString& glRenderer);

// True when the machine shows a graphics device that OpenGL could draw on: a render node under `driFolder`
// ("renderD*", what Mesa's drivers open) or the proprietary driver's "nvidia0" under `devFolder`.
bool hasGraphicsDevice(const QString& driFolder = QStringLiteral("/dev/dri"),
                       const QString& devFolder = QStringLiteral("/dev"));

// Selects the software scene graph where no graphics device exists (without loading any OpenGL library: the CPU
// rasteriser alone would stay in memory for the program's life), else where the OpenGL renderer of the default
// surface format is a CPU rasteriser or no OpenGL context can be made. Returns the line it logs ("scene graph: ...").
QString choose();

} // namespace SceneGraphBackend
