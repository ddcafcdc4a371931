#include "profiles/FChangeConfig.h"

#include "models/keys/KKey.h"
#include "profiles/FileHelpers.h"
#include "profiles/KConfigFileController.h"
#include "profiles/ProfileDocument.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

struct VirtualKeyQtRow {
    int virtualKey;
    int qtKey;
    int scanValue;
};

constexpr VirtualKeyQtRow kVirtualKeyRows[] = {
    // Letters.
    {0x41, Qt::Key_A, 0}, {0x42, Qt::Key_B, 0}, {0x43, Qt::Key_C, 0}, {0x44, Qt::Key_D, 0},
    {0x45, Qt::Key_E, 0}, {0x46, Qt::Key_F, 0}, {0x47, Qt::Key_G, 0}, {0x48, Qt::Key_H, 0},
    {0x49, Qt::Key_I, 0}, {0x4A, Qt::Key_J, 0}, {0x4B, Qt::Key_K, 0}, {0x4C, Qt::Key_L, 0},
    {0x4D, Qt::Key_M, 0}, {0x4E, Qt::Key_N, 0}, {0x4F, Qt::Key_O, 0}, {0x50, Qt::Key_P, 0},
    {0x51, Qt::Key_Q, 0}, {0x52, Qt::Key_R, 0}, {0x53, Qt::Key_S, 0}, {0x54, Qt::Key_T, 0},
    {0x55, Qt::Key_U, 0}, {0x56, Qt::Key_V, 0}, {0x57, Qt::Key_W, 0}, {0x58, Qt::Key_X, 0},
    {0x59, Qt::Key_Y, 0}, {0x5A, Qt::Key_Z, 0},
    // Digits of the main block.
    {0x30, Qt::Key_0, 11}, {0x31, Qt::Key_1, 2}, {0x32, Qt::Key_2, 3}, {0x33, Qt::Key_3, 4},
    {0x34, Qt::Key_4, 5}, {0x35, Qt::Key_5, 6}, {0x36, Qt::Key_6, 7}, {0x37, Qt::Key_7, 8},
    {0x38, Qt::Key_8, 9}, {0x39, Qt::Key_9, 10},
    // Punctuation, by a character the key carries.
    {0xC0, Qt::Key_AsciiTilde, 0}, {0xBD, Qt::Key_Minus, 12}, {0xBB, Qt::Key_Equal, 0}, {0xDC, Qt::Key_Bar, 0},
    {0xDB, Qt::Key_BracketLeft, 0}, {0xDD, Qt::Key_BracketRight, 0}, {0xBA, Qt::Key_Semicolon, 0},
    {0xDE, Qt::Key_Apostrophe, 0}, {0xBC, Qt::Key_Less, 0}, {0xBE, Qt::Key_Greater, 0}, {0xBF, Qt::Key_Question, 0},
    // Editing, function and navigation keys.
    {0x08, Qt::Key_Backspace, 0}, {0x09, Qt::Key_Tab, 0}, {0x14, Qt::Key_CapsLock, 0}, {0x20, Qt::Key_Space, 0},
    {0x1B, Qt::Key_Escape, 0}, {0x0D, Qt::Key_Enter, 0},
    {0x70, Qt::Key_F1, 0}, {0x71, Qt::Key_F2, 0}, {0x72, Qt::Key_F3, 0}, {0x73, Qt::Key_F4, 0},
    {0x74, Qt::Key_F5, 0}, {0x75, Qt::Key_F6, 0}, {0x76, Qt::Key_F7, 0}, {0x77, Qt::Key_F8, 0},
    {0x78, Qt::Key_F9, 0}, {0x79, Qt::Key_F10, 0}, {0x7A, Qt::Key_F11, 0}, {0x7B, Qt::Key_F12, 0},
    {0x2A, Qt::Key_Print, 0}, {0x91, Qt::Key_ScrollLock, 0}, {0x13, Qt::Key_Pause, 0}, {0x2D, Qt::Key_Insert, 0},
    {0x24, Qt::Key_Home, 0}, {0x2E, Qt::Key_Delete, 0}, {0x23, Qt::Key_End, 0}, {0x21, Qt::Key_PageUp, 0},
    {0x22, Qt::Key_PageDown, 0}, {0x25, Qt::Key_Left, 0}, {0x26, Qt::Key_Up, 0}, {0x27, Qt::Key_Right, 0},
    {0x28, Qt::Key_Down, 0},
    // Modifiers: the scan value tells left from right.
    {0xA0, Qt::Key_Shift, 42}, {0xA1, Qt::Key_Shift, 54}, {0xA2, Qt::Key_Control, 29}, {0xA3, Qt::Key_Control, 285},
    {0xA4, Qt::Key_Alt, 56}, {0xA5, Qt::Key_Alt, 312}, {0x5B, Qt::Key_Meta, 347}, {0x5C, Qt::Key_Meta, 348},
    // Keypad: the scan value tells it from the main block.
    {0x60, Qt::Key_0, 82}, {0x61, Qt::Key_1, 79}, {0x62, Qt::Key_2, 80}, {0x63, Qt::Key_3, 81},
    {0x64, Qt::Key_4, 75}, {0x65, Qt::Key_5, 76}, {0x66, Qt::Key_6, 77}, {0x67, Qt::Key_7, 71},
    {0x68, Qt::Key_8, 72}, {0x69, Qt::Key_9, 73}, {0x6D, Qt::Key_Minus, 74}, {0x6B, Qt::Key_Plus, 78},
    {0x6A, Qt::Key_Asterisk, 55}, {0x6F, Qt::Key_Slash, 309}, {0x6C, Qt::Key_Enter, 0}, {0x6E, Qt::Key_Delete, 0},
    {0x90, Qt::Key_NumLock, 0},
};

const QString kOldRoot = QStringLiteral("MouseDataOfGamingModeV3");

int reportIndex(const QString& rate, int current)
{
    static const QStringList rates{"Hz125", "Hz250", "Hz500", "Hz1000"};
    const int index = rates.indexOf(rate);
    return index < 0 ? current : index;
}

int lightModeIndex(const QString& mode, int current)
{
    static const QStringList modes{"CloseLight", "ContinueLight", "BreathMode", "AmpBreath", "LightCircle", "ColorIntrigue"};
    const int index = modes.indexOf(mode);
    return index < 0 ? current : index;
}

void overlayDpi(QJsonObject& profile, const QJsonObject& old)
{
    QJsonObject dpi = profile.value("dpi").toObject();
    QJsonArray levels = dpi.value("dpiValue").toArray();
    const QJsonArray oldLevels = old.value("Dpi").toObject().value("Value").toArray();

    QList<int> values, oldValues;
    QList<bool> enables, oldEnables;
    for (const QJsonValue& level : levels) {
        values << level.toObject().value("currentValue").toInt();
        enables << level.toObject().value("enable").toBool();
    }
    for (const QJsonValue& level : oldLevels) {
        oldValues << level.toObject().value("GearCurrentValue").toInt();
        oldEnables << level.toObject().value("GearEnable").toBool();
    }
    if (values == oldValues && enables == oldEnables)
        return;

    const int common = qMin(levels.size(), oldLevels.size());
    for (int i = 0; i < common; ++i) {
        QJsonObject level = levels.at(i).toObject();
        level.insert("currentValue", oldValues.at(i));
        level.insert("enable", oldEnables.at(i));
        levels.replace(i, level);
    }
    dpi.insert("dpiValue", levels);
    profile.insert("dpi", dpi);
}

void overlayLight(QJsonObject& profile, const QJsonObject& old)
{
    const QJsonObject logo = old.value("Light").toObject().value("Logo").toObject();
    QJsonObject lightModel = profile.value("lightModel").toObject();
    const int current = lightModel.value("index").toInt();
    const int mode = lightModeIndex(logo.value("Mode").toString(), current);
    if (mode != current) {
        lightModel.insert("index", mode);
        profile.insert("lightModel", lightModel);
    }

    QJsonArray lights = profile.value("light").toArray();
    if (mode < 0 || mode >= lights.size())
        return;
    QJsonObject entry = lights.at(mode).toObject();
    if (entry.value("model").toInt() != mode)
        return;

    const QString text = ProfileDocument::colorText(logo.value("Red").toInt(), logo.value("Green").toInt(), logo.value("Blue").toInt());
    const int speed = logo.value("Speed").toInt();
    const int brightness = logo.value("Brightness").toInt();
    bool changed = false;
    if (entry.value("speed").toInt() != speed) {
        entry.insert("speed", speed);
        changed = true;
    }
    if (entry.value("brightness").toInt() != brightness) {
        entry.insert("brightness", brightness);
        changed = true;
    }
    QJsonArray colors = entry.value("colors").toArray();
    if (colors.at(0).toString() != text) {
        if (!colors.isEmpty())
            colors.removeFirst();
        colors.append(text);
        entry.insert("colors", colors);
        changed = true;
    }
    if (changed) {
        lights.replace(mode, entry);
        profile.insert("light", lights);
    }
}

} // namespace

FChangeConfig::FChangeConfig(QObject* parent)
    : QObject(parent)
{
}

QJsonObject FChangeConfig::changeConfig(QJsonObject oldDocument, const QString& path)
{
    QFile file(path);
    // Only a regular file of a profile's size: a pipe under the name would never end the read.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)
        || file.size() > KConfigFileController::kMaxProfileBytes) {
        qDebug() << "open file error";
        return QJsonObject();
    }
    qDebug() << "open file success";
    // Bounded even when the file grows after the size check.
    const auto [read, content] = readAtMost(file, KConfigFileController::kMaxProfileBytes);
    file.close();
    if (!read)
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        qDebug() << error.errorString() << "open jsonFile error!!";
        return QJsonObject();
    }
    if (!document.isObject())
        return QJsonObject();
    QJsonObject profile = document.object();

    const QJsonObject old = oldDocument.value(kOldRoot).toObject();

    QJsonObject report = profile.value("report").toObject();
    const int current = report.value("index").toInt();
    const int rate = reportIndex(old.value("ReportRate").toString(), current);
    if (rate != current) {
        report.insert("index", rate);
        profile.insert("report", report);
    }
    overlayDpi(profile, old);
    overlayLight(profile, old);

    qDebug() << "set JsonObj:" << profile;
    const QByteArray text = QJsonDocument(profile).toJson(QJsonDocument::Indented);
    // A document that did not reach the file is not handed back: the caller would take it for the stored one.
    if (!saveFileContents(path, text)) {
        qDebug() << "write file error!";
        return QJsonObject();
    }
    qDebug() << "write file success!";
    return profile;
}

int FChangeConfig::VKCodeTransToString(int virtualKey)
{
    if (virtualKey == 0)
        return 0;
    for (const VirtualKeyQtRow& row : kVirtualKeyRows) {
        if (row.virtualKey == virtualKey)
            return qtKeyToHidUsage(row.qtKey, row.scanValue);
    }
    qDebug() << "VKCodeTransToString" << virtualKey;
    return 0;
}
