// Draws every picture the QML documents and the layout documents name, so the program carries no hand-made
// binaries. It reads the documents given on the command line, collects each picture path they name
// ("qrc:/..." or ":/..." ending in .png, .jpg or .gif; a picture asked for through getPngUrl also in its
// English variant "_en"), draws each one from a recipe chosen by its name, and
// writes the pictures with a resource list (pictures.qrc) into the output folder.
//
// Keyboard pictures are drawn from the key rectangles of the layout document that names them, so the key
// buttons the pages lay over the picture line up with the keys drawn. A path that is already a file of the
// tree's own resource lists is left to that list.
//
// Usage: corvane_picturegen <output folder> <source folder>...

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace {

const QColor kInk("#303344");
const QColor kAccent("#6195C2");
const QColor kAccentDark("#4A7BA6");
const QColor kWhite("#FFFFFF");

struct KeyboardPicture
{
    QSize size;
    QList<QRectF> keys; // in the picture's own pixels
};

// The state word of a picture name decides its colour: hover and press in the accent colours.
QColor stateColour(const QString& name, const QColor& normal)
{
    if (name.contains("_hover"))
        return kAccent;
    if (name.contains("_press") || name.contains("_click") || name.contains("Sel"))
        return kAccentDark;
    return normal;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

// "qrc:/a/b.png", "qrc:a/b.png", ":/a/b.png" -> "a/b.png"
QString resourcePath(QString path)
{
    if (path.startsWith("qrc:"))
        path.remove(0, 4);
    else if (path.startsWith(":"))
        path.remove(0, 1);
    while (path.startsWith('/'))
        path.remove(0, 1);
    return QDir::cleanPath(path);
}

// The key rectangles of a layout document's key or light picture, scaled into that picture.
void collectKeyboards(const QJsonObject& layout, QMap<QString, KeyboardPicture>* pictures)
{
    const QJsonObject key = layout.value("key").toObject();
    const QJsonArray buttons = key.value("keyBtn").toArray();
    if (buttons.isEmpty())
        return;
    const QSize keySize(key.value("width").toInt(), key.value("height").toInt());
    if (keySize.isEmpty())
        return;
    QList<QRectF> keys;
    for (const QJsonValue& value : buttons) {
        const QJsonObject button = value.toObject();
        keys << QRectF(button.value("x").toDouble(), button.value("y").toDouble(), button.value("width").toDouble(),
                       button.value("height").toDouble());
    }
    const QString base = key.value("keyBaseImge").toString();
    if (!base.isEmpty())
        pictures->insert(resourcePath(base), {keySize, keys});
    // The light pictures show the same keys at their own size.
    for (const QJsonValue& value : layout.value("light").toObject().value("keyBtn").toArray()) {
        const QJsonObject light = value.toObject();
        const QSize size(light.value("width").toInt(), light.value("height").toInt());
        const QString image = light.value("image").toString();
        if (image.isEmpty() || size.isEmpty())
            continue;
        const qreal sx = qreal(size.width()) / keySize.width();
        const qreal sy = qreal(size.height()) / keySize.height();
        QList<QRectF> scaled;
        for (const QRectF& rect : keys)
            scaled << QRectF(rect.x() * sx, rect.y() * sy, rect.width() * sx, rect.height() * sy);
        pictures->insert(resourcePath(image), {size, scaled});
    }
}

QImage drawKeyboard(const KeyboardPicture& keyboard, bool light)
{
    QImage image(keyboard.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF frame = QRectF(QPointF(0, 0), QSizeF(keyboard.size)).adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor("#1E2030"), 2));
    p.setBrush(QColor("#2A2D3C"));
    p.drawRoundedRect(frame, 10, 10);
    for (const QRectF& key : keyboard.keys) {
        const QRectF cap = key.adjusted(2, 2, -2, -2);
        p.setPen(QPen(light ? QColor("#49FFE5") : QColor("#4B5066"), 1));
        p.setBrush(light ? QColor("#3A3F55") : QColor("#3D4155"));
        p.drawRoundedRect(cap, 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 24));
        p.drawRoundedRect(cap.adjusted(3, 2, -3, -cap.height() / 2), 3, 3);
    }
    return image;
}

// Glyphs of the navigation and status icons, drawn into a square of side s.
void drawGlyph(QPainter& p, const QString& word, qreal s, const QColor& colour)
{
    QPen pen(colour, qMax(1.5, s / 12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const qreal m = s * 0.18;
    const QRectF box(m, m, s - 2 * m, s - 2 * m);
    if (word == "config") {
        for (int i = 0; i < 3; ++i) {
            const qreal y = box.top() + box.height() * (0.2 + 0.3 * i);
            p.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
            p.drawEllipse(QPointF(box.left() + box.width() * (0.3 + 0.2 * i), y), s / 14, s / 14);
        }
    } else if (word == "cpi") {
        p.drawEllipse(box.center(), box.width() / 2, box.height() / 2);
        p.drawLine(box.center(), QPointF(box.right() - box.width() * 0.15, box.top() + box.height() * 0.3));
    } else if (word == "parameter") {
        p.drawRoundedRect(box.adjusted(0, box.height() * 0.2, 0, -box.height() * 0.2), s / 10, s / 10);
        p.drawLine(QPointF(box.left() + box.width() * 0.25, box.center().y()),
                   QPointF(box.right() - box.width() * 0.25, box.center().y()));
    } else if (word == "oled") {
        p.drawRect(box.adjusted(0, box.height() * 0.15, 0, -box.height() * 0.25));
        p.drawLine(QPointF(box.center().x(), box.bottom() - box.height() * 0.25), QPointF(box.center().x(), box.bottom()));
    } else if (word == "light") {
        p.drawEllipse(QPointF(box.center().x(), box.top() + box.height() * 0.38), box.width() * 0.3, box.height() * 0.3);
        p.drawLine(QPointF(box.center().x() - box.width() * 0.15, box.bottom()),
                   QPointF(box.center().x() + box.width() * 0.15, box.bottom()));
    } else if (word == "scheme") {
        p.drawEllipse(QPointF(box.left(), box.center().y()), s / 12, s / 12);
        p.drawEllipse(QPointF(box.right(), box.top()), s / 12, s / 12);
        p.drawEllipse(QPointF(box.right(), box.bottom()), s / 12, s / 12);
        p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.top()));
        p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.bottom()));
    } else if (word == "macro") {
        p.drawRoundedRect(box, s / 10, s / 10);
        p.drawLine(QPointF(box.left() + box.width() * 0.3, box.top() + box.height() * 0.3),
                   QPointF(box.left() + box.width() * 0.3, box.bottom() - box.height() * 0.3));
        p.drawLine(QPointF(box.left() + box.width() * 0.3, box.center().y()),
                   QPointF(box.right() - box.width() * 0.25, box.center().y()));
    } else if (word == "support") {
        p.drawEllipse(box.center(), box.width() / 2, box.height() / 2);
        p.drawEllipse(box.center(), box.width() / 5, box.height() / 5);
    } else if (word == "user") {
        p.drawEllipse(QPointF(box.center().x(), box.top() + box.height() * 0.3), box.width() * 0.22, box.height() * 0.22);
        p.drawArc(QRectF(box.left(), box.top() + box.height() * 0.55, box.width(), box.height() * 0.9), 0, 180 * 16);
    } else if (word == "close") {
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
    } else if (word == "minimize") {
        p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    } else if (word == "open" || word == "down") {
        p.drawPolyline(QPolygonF({QPointF(box.left(), box.top() + box.height() * 0.3), QPointF(box.center().x(), box.bottom() - box.height() * 0.2),
                                  QPointF(box.right(), box.top() + box.height() * 0.3)}));
    } else if (word == "complete") {
        p.setBrush(QColor("#2DBE6C"));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(0, 0, s, s).adjusted(1, 1, -1, -1));
        p.setPen(QPen(kWhite, s / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(s * 0.28, s * 0.52), QPointF(s * 0.44, s * 0.68), QPointF(s * 0.72, s * 0.34)}));
    } else if (word == "error") {
        p.setBrush(QColor("#FF1A1A"));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(0, 0, s, s).adjusted(1, 1, -1, -1));
        p.setPen(QPen(kWhite, s / 9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    } else if (word == "about" || word == "warn") {
        p.setBrush(QColor("#FF9F1A"));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(0, 0, s, s).adjusted(1, 1, -1, -1));
        p.setPen(QPen(kWhite, s / 9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s / 2, s * 0.25), QPointF(s / 2, s * 0.58));
        p.drawPoint(QPointF(s / 2, s * 0.74));
    } else if (word == "sidebar_expand") {
        p.drawPolyline(QPolygonF({QPointF(box.left() + box.width() * 0.3, box.top()), QPointF(box.right() - box.width() * 0.3, box.center().y()),
                                  QPointF(box.left() + box.width() * 0.3, box.bottom())}));
    } else if (word == "sidebar_collapse") {
        p.drawPolyline(QPolygonF({QPointF(box.right() - box.width() * 0.3, box.top()), QPointF(box.left() + box.width() * 0.3, box.center().y()),
                                  QPointF(box.right() - box.width() * 0.3, box.bottom())}));
    } else if (word == "switch") {
        p.drawLine(QPointF(box.left(), box.top() + box.height() * 0.3), QPointF(box.right(), box.top() + box.height() * 0.3));
        p.drawLine(QPointF(box.right() - box.width() * 0.25, box.top()), QPointF(box.right(), box.top() + box.height() * 0.3));
        p.drawLine(QPointF(box.left(), box.bottom() - box.height() * 0.3), QPointF(box.right(), box.bottom() - box.height() * 0.3));
        p.drawLine(QPointF(box.left() + box.width() * 0.25, box.bottom()), QPointF(box.left(), box.bottom() - box.height() * 0.3));
    } else {
        p.drawRoundedRect(box, s / 8, s / 8);
    }
}

void drawMouse(QPainter& p, const QRectF& area, const QColor& colour, bool wireless)
{
    const qreal w = qMin(area.width() * 0.55, area.height() * 0.42);
    QRectF body(area.center().x() - w / 2, area.center().y() - w * 0.8, w, w * 1.6);
    p.setPen(QPen(colour, qMax(1.5, w / 14)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, w / 2, w / 2);
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), body.top() + body.height() * 0.35));
    if (!wireless)
        p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), area.top()));
}

void drawKeyboardIcon(QPainter& p, const QRectF& area, const QColor& colour, bool wireless)
{
    QRectF body = area.adjusted(area.width() * 0.08, area.height() * 0.3, -area.width() * 0.08, -area.height() * 0.2);
    p.setPen(QPen(colour, qMax(1.5, area.width() / 20)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, area.width() / 16, area.width() / 16);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 4; ++col)
            p.drawPoint(QPointF(body.left() + body.width() * (0.2 + 0.2 * col), body.top() + body.height() * (0.35 + 0.3 * row)));
    }
    if (!wireless)
        p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), area.top()));
}

// A picture from its name: size and drawing by the words it holds.
QImage drawPicture(const QString& path)
{
    const QString name = QFileInfo(path).completeBaseName().replace(QRegularExpression("_en$"), QString());
    const QString lower = name.toLower();
    auto canvas = [](int w, int h) {
        QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
    };

    if (lower.startsWith("background")) {
        QImage image = canvas(1200, 760);
        QPainter p(&image);
        QLinearGradient gradient(0, 0, 0, image.height());
        gradient.setColorAt(0, QColor("#F4F7FA"));
        gradient.setColorAt(1, QColor("#E3E9F0"));
        p.fillRect(image.rect(), gradient);
        return image;
    }
    if (lower.startsWith("sidebar_")) {
        QImage image = canvas(44, 44);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QString word = name.section('_', 1, 1);
        drawGlyph(p, word, 44, stateColour(name, kWhite));
        return image;
    }
    if (lower.startsWith("btn_")) {
        QImage image = canvas(48, 48);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, name.section('_', 1, 1), 48, stateColour(name, kInk));
        return image;
    }
    if (lower.startsWith("packup_sidebar") || lower.startsWith("click_sidebar")) {
        QImage image = canvas(56, 56);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, lower.startsWith("packup") ? "sidebar_collapse" : "sidebar_expand", 56, stateColour(name, kWhite));
        return image;
    }
    if (lower == "complete" || lower == "error" || lower == "about") {
        QImage image = canvas(36, 36);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, lower, 36, kWhite);
        return image;
    }
    if (lower.startsWith("battery")) {
        QImage image = canvas(60, 28);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor colour = lower.contains("warn") ? QColor("#FF1A1A") : (lower.contains("low") ? QColor("#ff6600") : kInk);
        p.setPen(QPen(colour, 3));
        p.drawRoundedRect(QRectF(2, 2, 50, 24), 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRoundedRect(QRectF(53, 9, 5, 10), 2, 2);
        return image;
    }
    if (lower.startsWith("devicetype") || lower == "keyboardlogo" || lower.startsWith("sj_") ||
        lower.contains("loading_keyboard") || lower == "device_loading") {
        const bool large = lower.startsWith("sj_") || lower.contains("loading") || lower == "keyboardlogo";
        QImage image = large ? canvas(240, 160) : canvas(40, 40);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const bool keyboard = lower.contains("kb") || lower.contains("keyboard") || lower == "sj_zephra";
        const bool wireless = lower.contains("wireless");
        const QColor colour = large ? QColor("#3D4155") : kInk;
        if (keyboard)
            drawKeyboardIcon(p, QRectF(image.rect()), colour, wireless);
        else
            drawMouse(p, QRectF(image.rect()), colour, wireless);
        return image;
    }
    if (lower.startsWith("head")) {
        QImage image(120, 120, QImage::Format_RGB32);
        const int n = name.mid(4).toInt();
        image.fill(QColor::fromHsv((n * 47) % 360, 90, 220));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        p.drawEllipse(QPointF(60, 46), 22, 22);
        p.drawEllipse(QRectF(22, 74, 76, 70));
        return image;
    }
    if (lower == "label_user") {
        // A ring whose corners hide what lies outside the circle.
        QImage image = canvas(60, 60);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath corners;
        corners.addRect(0, 0, 60, 60);
        QPainterPath circle;
        circle.addEllipse(QRectF(2, 2, 56, 56));
        p.fillPath(corners.subtracted(circle), QColor("#EEF2F6"));
        p.setPen(QPen(kWhite, 3));
        p.drawEllipse(QRectF(3, 3, 54, 54));
        return image;
    }
    if (lower.contains("logo")) {
        QImage image = canvas(220, 80);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(kWhite);
        QPainterPath mark;
        mark.moveTo(20, 16);
        mark.lineTo(60, 64);
        mark.lineTo(100, 16);
        mark.lineTo(84, 16);
        mark.lineTo(60, 46);
        mark.lineTo(36, 16);
        mark.closeSubpath();
        p.drawPath(mark);
        p.drawRect(QRectF(112, 36, 92, 8));
        return image;
    }
    if (lower.contains("tips") || lower.startsWith("label_")) {
        QImage image = canvas(160, 40);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor("#BAC2CA"), 1));
        p.setBrush(kWhite);
        p.drawRoundedRect(QRectF(8, 1, 151, 38), 6, 6);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(1, 20), QPointF(9, 13), QPointF(9, 27)}));
        return image;
    }
    if (lower.contains("changeequipment") || lower.contains("switch")) {
        QImage image = canvas(32, 32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, "switch", 32, kWhite);
        return image;
    }
    if (lower.startsWith("configpic")) {
        QImage image(160, 100, QImage::Format_RGB32);
        const int n = name.mid(9).toInt();
        QLinearGradient gradient(0, 0, 160, 100);
        gradient.setColorAt(0, QColor::fromHsv((200 + n * 40) % 360, 120, 200));
        gradient.setColorAt(1, QColor::fromHsv((230 + n * 40) % 360, 160, 120));
        QPainter p(&image);
        p.fillRect(image.rect(), gradient);
        return image;
    }
    if (lower.contains("background") || lower.contains("base")) {
        QImage image = canvas(300, 300);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor("#DEE9F1"), 14));
        p.drawArc(QRectF(20, 20, 260, 260), -45 * 16, 270 * 16);
        return image;
    }
    // Anything else: a neutral tile with the state's colour.
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawGlyph(p, QString(), 48, stateColour(name, kInk));
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: corvane_picturegen <output folder> <source folder>...\n");
        return 2;
    }
    const QDir out(args.at(1));
    static const QRegularExpression named(QStringLiteral("[\"'](qrc:/?|:/)([^\"'\\s]+\\.(?:png|jpg|gif))[\"']"));
    static const QRegularExpression inLanguage(QStringLiteral("getPngUrl\\(\\s*[\"']((?:qrc:/?|:/)[^\"'\\s]+)\\.png[\"']"));
    static const QRegularExpression listed(QStringLiteral("<file(?: alias=\"([^\"]+)\")?>([^<]+)</file>"));

    QSet<QString> wanted;
    QSet<QString> provided;
    QMap<QString, KeyboardPicture> keyboards;
    for (int i = 2; i < args.size(); ++i) {
        QDirIterator it(args.at(i), {"*.qml", "*.json", "*.qrc", "*.js", "*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString text = readText(file);
            if (file.endsWith(".qrc")) {
                auto files = listed.globalMatch(text);
                while (files.hasNext()) {
                    const auto match = files.next();
                    provided.insert(resourcePath(match.captured(1).isEmpty() ? match.captured(2) : match.captured(1)));
                }
                continue;
            }
            auto matches = named.globalMatch(text);
            while (matches.hasNext())
                wanted.insert(resourcePath(matches.next().captured(2)));
            // A picture asked for in the user's language has an English variant ("_en") beside it.
            auto translated = inLanguage.globalMatch(text);
            while (translated.hasNext()) {
                const QString base = resourcePath(translated.next().captured(1));
                wanted.insert(base + ".png");
                wanted.insert(base + "_en.png");
            }
            if (file.endsWith(".json")) {
                const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
                if (document.isObject())
                    collectKeyboards(document.object(), &keyboards);
            }
        }
    }
    // Resource lists name their files relative to their own folder: what they list under a prefix is theirs.
    wanted.subtract(provided);

    QStringList entries;
    QStringList sorted = wanted.values();
    sorted.sort();
    for (const QString& path : sorted) {
        const QString target = out.filePath(path);
        QDir().mkpath(QFileInfo(target).path());
        const auto keyboard = keyboards.constFind(path);
        const QImage image = keyboard != keyboards.constEnd() ? drawKeyboard(*keyboard, path.contains("light"))
                                                              : drawPicture(path);
        if (!image.save(target)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(target));
            return 1;
        }
        entries << QStringLiteral("    <file>%1</file>").arg(path);
    }

    QSaveFile list(out.filePath("pictures.qrc"));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    QTextStream stream(&list);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n" << entries.join('\n')
           << "\n  </qresource>\n</RCC>\n";
    stream.flush();
    return list.commit() ? 0 : 1;
}
