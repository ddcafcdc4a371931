#pragma once

#include "hid/HWork.h"

#include <QObject>
#include <QString>

#include <functional>

class KBaseDevice;

// The device's small monochrome screen ("f_oledModel"): its brightness, which of its screens it shows (mode 8
// is the user's picture), the text settings of the picture editor, the upload of the editor's picture and the
// conversion of a base64 PNG into the 64 x 48 1-bit picture file.
//
// The picture the editor saves ("test.bmp" in the profile root) is the device's upload source and only lives
// for one upload: it is removed once the upload has ended, whatever the outcome.
//
// Threads: GUI thread only; the device reads and writes run on the pool through the model's HWork. Owned by
// the UI manager.
class FOledModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int fontSize READ fontSize WRITE setFontSize NOTIFY fontSizeChanged)
    Q_PROPERTY(int oledLight READ oledLight WRITE storeOledLight NOTIFY oledLightChanged)
    Q_PROPERTY(int oledMode READ oledMode WRITE setOledMode NOTIFY oledModeChanged)
    Q_PROPERTY(QString fontFamily READ fontFamily WRITE setFontFamily NOTIFY fontFamilyChanged)

public:
    static constexpr int kPictureMode = 8;
    static constexpr int kMaxMode = 9;
    static constexpr int kMinFontSize = 55;
    static constexpr int kMaxFontSize = 165;

    explicit FOledModel(QObject* parent = nullptr);
    ~FOledModel() override;

    int fontSize() const { return m_fontSize; }
    int oledLight() const { return m_oledLight; }
    int oledMode() const { return m_oledMode; }
    QString fontFamily() const { return m_fontFamily; }

    // The brightness as the device reports it; QML writes store silently.
    void storeOledLight(int value, bool notify = false);

    // Stores a text size within 55..165; a size out of range first announces -1 so that the control
    // re-reads the stored one.
    Q_INVOKABLE void setFontSize(int size);
    // Writes the screen brightness to the device.
    Q_INVOKABLE void setOledLight(int data);
    // Stores the mode without device access; always announces.
    Q_INVOKABLE void setOledMode(int mode);
    // Uploads the editor's picture file, then switches the screen to the picture.
    Q_INVOKABLE void setPictureToMouse();
    Q_INVOKABLE void setFontFamily(QString family);
    // Writes a display mode to the device; true when it is the current one or the write was started.
    Q_INVOKABLE bool changeMode(int mode);
    // Turns a base64 PNG ("data:image/png;base64," may lead) into a 64 x 48 1-bit picture at url (a path or
    // a file URL; empty: "test.bmp" in the program folder). False when the data is no picture or the file
    // cannot be written.
    Q_INVOKABLE bool tranBase64toBmp(QString data, QString url);

    // The file the editor saves and the device uploads.
    static QString pictureFilePath();

signals:
    void fontSizeChanged();
    void oledLightChanged();
    void oledModeChanged();
    void fontFamilyChanged();

public slots:
    // Binds the current device and, when it has a screen, reads its brightness and mode (waiting here).
    void deviceDataChange();

private:
    // Runs one read of the current device on the pool and waits here, events flowing, until its completion
    // has run (a refused read completes at once with -1) or the wait has timed out.
    void readAndWait(int (KBaseDevice::*read)(), const std::function<void(int)>& done);
    void uploadFailed();
    void removePictureFile() const;
    static void sendEvent(const QString& action, const QString& label);

    HWork m_work;
    int m_fontSize = 110;
    int m_oledLight = 50;
    int m_oledMode = 1;
    QString m_fontFamily;
};
