#pragma once

#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "TestWait.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

// The tips the window shows from now on, in order. Tips queue and stay a few seconds each, so a test that waits
// for one looks at every tip shown since it acted, not only at the one on screen.
class TipRecorder
{
public:
    TipRecorder()
        : m_spy(KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty("h_suspension")
                    .value<QObject*>(),
                SIGNAL(sigShowTips(int, QString)))
    {
    }

    QStringList shown() const
    {
        QStringList messages;
        for (const QList<QVariant>& call : m_spy)
            messages << call.at(1).toString();
        return messages;
    }

    // Waits (up to the shared test bound: the queue ahead of it) until the tip was shown.
    bool waitFor(const QString& message)
    {
        return QTest::qWaitFor([&] { return shown().contains(message); }, TestWait::kBoundMs);
    }

private:
    QSignalSpy m_spy;
};
