#pragma once

#include <QIcon>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>

class QAction;
class QMenu;
class QTimer;

// The program's notification-area icon: a context menu whose entries each run a function, a tooltip, a
// single-click signal and an icon flicker. Where the desktop has no notification area the icon is simply never
// seen; isAvailable() tells the window so that it minimises instead of hiding.
//
// Threads: GUI thread only.
class KSystemTrayIcon : public QObject
{
    Q_OBJECT
public:
    explicit KSystemTrayIcon(QObject* parent = nullptr);
    ~KSystemTrayIcon() override;

    static bool isAvailable();

    void setToolTip(const QString& text);
    QString toolTip() const;
    void setIcon(const QIcon& icon);
    void addAction(const QString& text, std::function<void(QString)> callback, QIcon icon);
    // Sets entry i's text to the translation of texts[i], for the positions both have.
    void retranslate(const QStringList& texts);
    void show();
    void hide();
    bool isVisible() const;
    void startFlicker(int interval);
    void stopFlicker();

    QList<QAction*> actions() const { return m_actions; }
    bool isFlickering() const { return m_flickering; }

signals:
    void sigTrayIconClicked();

private slots:
    void slotTriggered(QAction* action);
    void flickerTimeout();

private:
    friend class TrayIconTest;
    // How the platform icon reports an activation.
    void activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon* m_trayIcon;
    QMenu* m_menu;
    QList<QAction*> m_actions;
    QMap<QAction*, std::function<void(QString)>> m_callbacks;
    QIcon m_normalIcon;
    bool m_alternateNext = false;
    bool m_flickering = false;
    QTimer* m_flickerTimer;
};
