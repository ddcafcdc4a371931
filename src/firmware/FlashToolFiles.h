#pragma once

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

// The files the flashing programs need beside them. The Ulverd program's runtime libraries are a per-platform
// list: on Windows the program's Qt and graphics libraries are copied next to it; here the system provides
// them, so the list is empty.
namespace FlashToolFiles {

struct RuntimeFile {
    const char* name;      // relative to the program folder, with a leading "/"
    const char* failure;   // the code-2 message when it cannot be copied
};

inline QList<RuntimeFile> ulverdRuntime()
{
#ifdef Q_OS_WIN
    return {
        {"/Qt5Core.dll", "Ulverdseries Qt5Core.dll error"},
        {"/Qt5Gui.dll", "UlverdSeries copy Qt5Gui.dll error"},
        {"/Qt5Svg.dll", "UlverdSeries copy Qt5Svg.dll error"},
        {"/Qt5Widgets.dll", "UlverdSeries copy Qt5Widgets.dll error"},
        {"/D3Dcompiler_47.dll", "UlverdSeries copy D3Dcompiler_47.dll"},
        {"/libGLESV2.dll", "UlverdSeries copy libGLESV2.dll"},
        {"/libEGL.dll", "UlverdSeries copy libEGL.dll"},
        {"/opengl32sw.dll", "UlverdSeries copy opengl32sw.dll"},
    };
#else
    return {};
#endif
}

// The Oakham program's firmware files, the same relative path in the model's folder and the tool folder.
inline QStringList oakhamFiles()
{
    return {QStringLiteral("/new_version/newFirmware.MTP"), QStringLiteral("/old_version/oldFirmware.MTP"),
            QStringLiteral("/Config.ini")};
}

// The Ulverd program's files: source in the model's folder -> target in the tool folder.
inline QList<QPair<QString, QString>> ulverdFiles()
{
    return {{QStringLiteral("/new_version/boot.bin"), QStringLiteral("/boot.bin")},
            {QStringLiteral("/wtconfig.ini"), QStringLiteral("/wtconfig.ini")}};
}

// The tool folders below the program folder; Ulverd's has one spelling for copying and starting.
inline QString oakhamToolFolder() { return QStringLiteral("/Update/Local/OakhamSeries"); }
inline QString ulverdToolFolder() { return QStringLiteral("/Update/Local/BrennaSeries"); }

} // namespace FlashToolFiles
