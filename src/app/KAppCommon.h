#pragma once

#include <QObject>
#include <QString>

// The program's identity, its folders and the UI scale given at start. Published to QML as "g_common".
// None of the folder getters creates anything; the paths have no trailing "/".
//
// Threads: instance() from any thread; the rest on the GUI thread.
class KAppCommon : public QObject
{
    Q_OBJECT
public:
    static KAppCommon* instance();

    Q_INVOKABLE QString getAppVersion() const;
    Q_INVOKABLE QString getAppName() const;
    // The maker's download centre.
    Q_INVOKABLE QString getQuorUrl() const;
    // The settings file.
    Q_INVOKABLE QString getAppConfigPath() const;
    Q_INVOKABLE QString getAppFolderPath() const;
    Q_INVOKABLE QString getAppConfigFolderPath() const;
    // The root of the profile folders.
    Q_INVOKABLE QString getMSConfigFolderPath() const;
    Q_INVOKABLE QString getMacroFolderPath() const;
    Q_INVOKABLE QString getPictureFolderPath() const;
    Q_INVOKABLE QString getFwFileFolderPath() const;
    // Downloads of the program's own update.
    QString getUpdateFolderPath() const;

    void setScale(const float& scale) { m_scale = scale; }
    float getScale() const { return m_scale; }
    // Chooses the scale from the primary screen's size and logical DPI; nothing when enabled is false.
    void autoScale(bool enabled);
    // The rule of autoScale: the factor for a screen of width x height pixels at a logical DPI, starting from
    // current (which stays when no rule applies).
    static float autoScaleFactor(int width, int height, int dpi, float current);
    // The main window's size at the factor 1.
    static constexpr int kWindowWidth = 1200;
    static constexpr int kWindowHeight = 760;
    // The largest factor not above asked at which the main window fits an available area of width x height
    // (rounded down to hundredths); asked itself when it fits or the area is unknown (empty).
    static float fittingScale(float asked, int availableWidth, int availableHeight);

private:
    KAppCommon();

    float m_scale = 1.0f;
};
