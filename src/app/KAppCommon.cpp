#include "app/KAppCommon.h"

#include "common/ProgramFolders.h"

#include <algorithm>
#include <cmath>

#include <QGuiApplication>
#include <QScreen>

KAppCommon* KAppCommon::instance()
{
    static KAppCommon common;
    return &common;
}

KAppCommon::KAppCommon() = default;

QString KAppCommon::getAppVersion() const
{
    return QStringLiteral("1.2.1");
}

QString KAppCommon::getAppName() const
{
    return QStringLiteral("Corvane");
}

QString KAppCommon::getQuorUrl() const
{
    return QStringLiteral("https://www.corvane.example/download");
}

QString KAppCommon::getAppConfigPath() const
{
    return ProgramFolders::configLocation() + QStringLiteral("/AppConfig.ini");
}

QString KAppCommon::getAppFolderPath() const
{
    return ProgramFolders::programFolder();
}

QString KAppCommon::getAppConfigFolderPath() const
{
    return ProgramFolders::configLocation();
}

QString KAppCommon::getMSConfigFolderPath() const
{
    return ProgramFolders::profileRoot();
}

QString KAppCommon::getMacroFolderPath() const
{
    return ProgramFolders::macroRoot();
}

QString KAppCommon::getPictureFolderPath() const
{
    return ProgramFolders::configLocation() + QStringLiteral("/picture");
}

QString KAppCommon::getFwFileFolderPath() const
{
    return ProgramFolders::configLocation() + QStringLiteral("/fw");
}

QString KAppCommon::getUpdateFolderPath() const
{
    return ProgramFolders::updateRoot();
}

float KAppCommon::autoScaleFactor(int width, int height, int dpi, float current)
{
    enum class ScreenClass { None, FullHd, Uhd };
    bool large = false;
    ScreenClass screenClass = ScreenClass::None;
    float factor = current;
    if (width >= 1920 && height >= 1080) {
        large = true;
        if (width == 1920 && height == 1080)
            screenClass = ScreenClass::FullHd;
        else if (width >= 3656 && height >= 2160)
            screenClass = ScreenClass::Uhd;
    } else if (width >= 1280 && height >= 1024) {
        factor = 0.6f;
    } else if (width >= 1024 && height >= 768) {
        factor = 0.65f;
    }
    const int extra = dpi - 96;
    if (dpi < 96 || !large || extra > 120)
        return factor;
    struct Row { int extra; float uhd; float fullHd; float none; };
    // A negative entry leaves the factor as it is.
    static constexpr Row kRows[] = {
        {0, -1.0f, 0.75f, -1.0f}, {24, 0.9f, 0.88f, 0.88f}, {48, 0.85f, 0.5f, 0.5f},
        {72, 0.7f, 0.48f, 0.48f}, {96, 0.7f, 0.5f, 0.5f},   {120, 0.7f, 0.46f, 0.46f},
    };
    for (const Row& row : kRows) {
        if (row.extra != extra)
            continue;
        const float chosen = screenClass == ScreenClass::Uhd      ? row.uhd
                             : screenClass == ScreenClass::FullHd ? row.fullHd
                                                                  : row.none;
        return chosen < 0 ? factor : chosen;
    }
    return factor;
}

float KAppCommon::fittingScale(float asked, int availableWidth, int availableHeight)
{
    if (availableWidth <= 0 || availableHeight <= 0)
        return asked;
    const double fits = std::min(double(availableWidth) / kWindowWidth, double(availableHeight) / kWindowHeight);
    if (double(asked) <= fits)
        return asked;
    // Rounded down, so that the lengths the window lays out stay within the area.
    return float(std::floor(fits * 100.0) / 100.0);
}

void KAppCommon::autoScale(bool enabled)
{
    if (!enabled)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize size = screen->size() * screen->devicePixelRatio();
    setScale(autoScaleFactor(size.width(), size.height(), qRound(screen->logicalDotsPerInchX()), m_scale));
}
