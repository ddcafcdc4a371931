#include "platform/input/KeyboardEventSource.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

namespace {

constexpr int kVkLeftAlt = 0xA4;
constexpr int kVkRightAlt = 0xA5;

bool isSystemKey(const QKeyEvent* event, int vkCode)
{
    if (vkCode == kVkLeftAlt || vkCode == kVkRightAlt)
        return true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier);
}

} // namespace

KeyboardEventSource::KeyboardEventSource(Procedure procedure)
    : m_procedure(procedure)
{
}

KeyboardEventSource* KeyboardEventSource::install(Procedure procedure)
{
    if (!procedure || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    auto* source = new KeyboardEventSource(procedure);
    QCoreApplication::instance()->installEventFilter(source);
    return source;
}

bool KeyboardEventSource::remove(KeyboardEventSource* source)
{
    if (!source)
        return false;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(source);
    delete source;
    return true;
}

bool KeyboardEventSource::foregroundIsOurs()
{
    return QGuiApplication::focusWindow() != nullptr;
}

bool KeyboardEventSource::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // A key event goes to the window first and from there to its items or widgets, each passing this
    // filter again: the window's delivery alone is the one event.
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType())
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (type == QEvent::KeyRelease && key->isAutoRepeat())
        return false;
    const WindowsKeyCode code = NativeKeyTable::fromNativeScanCode(key->nativeScanCode());
    if (code.vkCode == 0)
        return false;

    const bool down = type == QEvent::KeyPress;
    const bool system = isSystemKey(key, code.vkCode);
    const int message = down ? (system ? SysKeyDown : KeyDown) : (system ? SysKeyUp : KeyUp);
    const Record record{code.vkCode, code.scanCode, code.extended ? kExtendedFlag : 0u};
    m_procedure(kAction, message, record);
    return false;
}
