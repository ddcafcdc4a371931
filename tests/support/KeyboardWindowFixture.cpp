#include "KeyboardWindowFixture.h"

#include "LogCapture.h"
#include "SimBusFixture.h"
#include "WindowTestSupport.h"

#include "devices/SimulatedModels.h"
#include "hid/HWork.h"
#include "sim/keyboard/SimQuenbyKeyboard.h"
#include "TestWait.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace WindowTestSupport;

KeyboardWindowFixture::KeyboardWindowFixture() = default;

KeyboardWindowFixture::~KeyboardWindowFixture()
{
    if (m_log)
        stop();
}

QQuickWindow* KeyboardWindowFixture::start(quint16 productId)
{
    m_bus = std::make_unique<SimBusFixture>();
    m_keyboard = std::make_unique<SimQuenbyKeyboard>(productId);
    if (!m_keyboard->plug(m_bus->bus()))
        return nullptr;
    useSimulatedModels({productId});
    m_log = std::make_unique<LogCapture>();
    m_window = startMainWindow();
    if (!m_window)
        return nullptr;
    // The key page with its keys, and the device's first reading and its profile's first writing done (the
    // busy indicator closes by its timer on a slow machine while that work still runs).
    const bool ready = QTest::qWaitFor(
        [this] {
            QQuickItem* page = findItem(m_window, QStringLiteral("pageKbSetting"));
            return page && page->isVisible() && !isShown(m_window, QStringLiteral("HLoadDialog_new"))
                   && HWork::pendingCount() == 0
                   && findItem(findItem(m_window, QStringLiteral("kbDevicePanel")), QStringLiteral("key14"));
        },
        TestWait::kBoundMs);
    return ready ? m_window : nullptr;
}

QStringList KeyboardWindowFixture::stop()
{
    m_window = nullptr;
    QStringList found;
    if (m_log) {
        found = stopProgram(*m_log);
        m_log.reset();
    }
    m_keyboard.reset();
    m_bus.reset();
    return found;
}

QStringList KeyboardWindowFixture::faults() const
{
    return m_log ? qmlFaults(*m_log) : QStringList();
}
