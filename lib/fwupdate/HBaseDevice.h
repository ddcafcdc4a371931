#pragma once

#include <QFileInfo>
#include <QObject>
#include <QString>

// The base of the library's series updaters: the firmware folder override, the two signals through which every
// updater reports, and the file and process services they share, among them the one way the library starts
// an external program with administrator rights.
//
// Threads: lives on and is called from the thread of Mirelle::initFwDevice's caller.
class HBaseDevice : public QObject
{
    Q_OBJECT
public:
    explicit HBaseDevice(QObject* parent = nullptr);
    ~HBaseDevice() override;

    // Starts the update of the device with *pid; fileName is the firmware file, package or program name.
    virtual bool startUpdate(int* pid, QString fileName) = 0;
    virtual bool copyFile(const QFileInfo& source, const QFileInfo& target, bool overwrite);
    virtual bool removeFile(const QFileInfo& file);
    virtual int findProcessId(const wchar_t* exeName);
    virtual bool killProcess(int processId);
    virtual void setFirmwarePath(const QString& folder);
    // Stops the updater's own threads and waits for them; no report follows. Called before an updater is
    // replaced or destroyed.
    virtual void cancel();

    QString firmwarePath() const { return m_firmwarePath; }

signals:
    void sig_fwUpdateRequest(int code, QString msg);
    void sig_fwUpdateProgress(int value, int totleValue);

protected:
    // Starts program (a full path) with administrator rights. A missing folder, a missing program or one that
    // may not be run sends its code-2 result; a declined elevation sends nothing. *processId receives the
    // started process for waitForProgram.
    bool startElevated(const QString& program, qint64* processId);
    // Blocks until a program from startElevated has ended; false when it crashed or exited nonzero.
    bool waitForProgram(qint64 processId, int* exitCode);
    // Starts program elevated, waits for its end, then ends any process still running under its file name.
    // False when it did not start (the start's code-2 result has been sent; a declined elevation sends none).
    // *exitCode: the program's exit code, -1 when it crashed.
    bool runFlashTool(const QString& program, int* exitCode);
    // Lets a started program run on by itself; its end is collected in the background.
    void releaseProgram(qint64 processId);
    // Ends every running process named exeName; failure logs "KillProcess <name> error".
    void endProcessByName(const QString& exeName);
    // The program folder, below which the built-in firmware folders lie.
    static QString programFolder();

private:
    QString m_firmwarePath;
};
