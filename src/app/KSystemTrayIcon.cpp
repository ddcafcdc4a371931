#include "app/KSystemTrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTimer>

KSystemTrayIcon::KSystemTrayIcon(QObject* parent)
    : QObject(parent),
      m_trayIcon(new QSystemTrayIcon(this)),
      // A menu is a widget: only a widget application has one (tests of the lower layers run without).
      m_menu(qobject_cast<QApplication*>(QCoreApplication::instance()) ? new QMenu : nullptr),
      m_flickerTimer(new QTimer(this))
{
    m_flickerTimer->setTimerType(Qt::VeryCoarseTimer);
    connect(m_flickerTimer, &QTimer::timeout, this, &KSystemTrayIcon::flickerTimeout);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &KSystemTrayIcon::activated);
    if (m_menu) {
        connect(m_menu, &QMenu::triggered, this, &KSystemTrayIcon::slotTriggered);
        m_trayIcon->setContextMenu(m_menu);
    }
}

KSystemTrayIcon::~KSystemTrayIcon()
{
    for (QAction* action : qAsConst(m_actions))
        action->deleteLater();
    m_actions.clear();
    m_callbacks.clear();
    if (m_menu)
        m_menu->deleteLater();
}

bool KSystemTrayIcon::isAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void KSystemTrayIcon::activated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        emit sigTrayIconClicked();
}

void KSystemTrayIcon::setToolTip(const QString& text)
{
    m_trayIcon->setToolTip(text);
}

QString KSystemTrayIcon::toolTip() const
{
    return m_trayIcon->toolTip();
}

void KSystemTrayIcon::setIcon(const QIcon& icon)
{
    m_normalIcon = icon;
    m_trayIcon->setIcon(icon);
}

void KSystemTrayIcon::addAction(const QString& text, std::function<void(QString)> callback, QIcon icon)
{
    auto* action = new QAction(text, nullptr);
    action->setIcon(icon);
    if (m_menu)
        m_menu->addAction(action);
    m_actions.append(action);
    m_callbacks.insert(action, std::move(callback));
}

void KSystemTrayIcon::retranslate(const QStringList& texts)
{
    const int count = qMin(m_actions.size(), texts.size());
    for (int i = 0; i < count; ++i)
        m_actions.at(i)->setText(tr(texts.at(i).toUtf8().constData()));
}

void KSystemTrayIcon::slotTriggered(QAction* action)
{
    const auto it = m_callbacks.constFind(action);
    if (it == m_callbacks.cend())
        return;
    // The callback may end the program or change the menu: take a copy first.
    const std::function<void(QString)> callback = it.value();
    callback(action->text());
    m_trayIcon->setIcon(m_normalIcon);
}

void KSystemTrayIcon::show()
{
    if (m_flickering)
        stopFlicker();
    m_trayIcon->show();
}

void KSystemTrayIcon::hide()
{
    if (m_flickering)
        stopFlicker();
    m_trayIcon->hide();
}

bool KSystemTrayIcon::isVisible() const
{
    return m_trayIcon->isVisible();
}

void KSystemTrayIcon::startFlicker(int interval)
{
    if (m_flickering)
        return;
    m_trayIcon->show();
    m_flickering = true;
    m_flickerTimer->start(interval);
}

void KSystemTrayIcon::flickerTimeout()
{
    m_trayIcon->setIcon(m_alternateNext ? QIcon(QStringLiteral("://logo.png")) : m_normalIcon);
    m_alternateNext = !m_alternateNext;
}

void KSystemTrayIcon::stopFlicker()
{
    if (!m_flickering)
        return;
    m_flickering = false;
    m_flickerTimer->stop();
    if (!m_alternateNext) {
        m_trayIcon->setIcon(m_normalIcon);
        m_alternateNext = true;
    }
}
