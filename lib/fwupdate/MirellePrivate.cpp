#include "MirellePrivate.h"

#include "HBaseDevice.h"
#include "MirelleSimulation.h"
#include "ModelPidMap.h"
#include "UpdaterFactory.h"
#include "app/Trans.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>

namespace {

const QString kTranslationFolder = QStringLiteral(":/language/resource/language/trans/");

} // namespace

Mirelle::HPrivate::HPrivate()
    : QObject(nullptr)
{
    setupFirmwareSimulationFromEnvironment();
}

Mirelle::HPrivate::~HPrivate()
{
    // Updaters join their own threads when destroyed.
    delete m_updater.data();
    if (m_trans) {
        QCoreApplication::removeTranslator(m_trans);
        delete m_trans.data();
    }
}

bool Mirelle::HPrivate::initFwDevice(const QString& model, const QString& fileName, const QString& language,
                                     const QString& folder)
{
    int pid = ModelPidMap::productId(model);
    qDebug() << "mPid:" << pid;

    const ModelPidMap::Updater kind = ModelPidMap::updaterFor(pid);
    if (kind == ModelPidMap::Updater::None) {
        qDebug() << "creataFwUpdate error";
        return false;
    }
    // The previous update's threads and resources (its pipe, its port search) go before the next one starts.
    replaceUpdater(nullptr);
    HBaseDevice* updater = createUpdater(kind);
    if (!updater) {
        qDebug() << "creataFwUpdate error";
        return false;
    }
    replaceUpdater(updater);
    if (!folder.isEmpty())
        updater->setFirmwarePath(folder);

    auto* trans = new Trans;
    trans->loadFolder(kTranslationFolder);
    QCoreApplication::installTranslator(trans);
    replaceTranslator(trans);
    if (!language.isEmpty())
        trans->setCurrentLang(language);
    else
        trans->setCurrentLang(QLocale().language() == QLocale::Chinese ? QStringLiteral("zh") : QStringLiteral("en"));

    connect(updater, &HBaseDevice::sig_fwUpdateRequest, this, &HPrivate::qt_updateFinished);
    connect(updater, &HBaseDevice::sig_fwUpdateProgress, this, &HPrivate::qt_updateProgress);

    const bool started = updater->startUpdate(&pid, fileName);
    if (!started)
        qDebug() << "initRefresh error";
    return started;
}

void Mirelle::HPrivate::replaceUpdater(HBaseDevice* updater)
{
    // The previous updater may still be on the stack of a slot that called us: it goes when control is back
    // in the event loop. Its reports no longer reach the caller.
    if (m_updater) {
        m_updater->disconnect(this);
        m_updater->cancel();
        m_updater->deleteLater();
    }
    m_updater = updater;
}

void Mirelle::HPrivate::replaceTranslator(Trans* trans)
{
    if (m_trans) {
        QCoreApplication::removeTranslator(m_trans);
        m_trans->deleteLater();
    }
    m_trans = trans;
}
