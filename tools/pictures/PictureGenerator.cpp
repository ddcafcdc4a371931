// Draws every picture the QML documents and the layout documents name, so the program carries no hand-made
// binaries. It reads the documents in the source folders, collects each picture path they name ("qrc:/..." or
// ":/..." ending in .png, .jpg or .gif), and draws each one from its row of the picture table
// (tools/pictures/pictures.json): an icon of the Breeze set tinted for its state, a device drawn from the layout
// document that names it, a background, a mark or an illustration with its words. A name without a row stops
// the build: there is no stand-in picture.
//
// Besides the pictures it writes their resource list (pictures.qrc) and pictures.json, which says for every
// picture which row drew it and which picture it is a state or language variant of.
//
// Mouse pictures are top views whose buttons lie where the layout document puts each button's point, and
// keyboard pictures are drawn from the layout's key rectangles, so the labels and key buttons the pages lay
// over a picture meet what is drawn. A path that is already a file of the tree's own resource lists is left
// to that list.
//
// Usage: corvane_picturegen --table <pictures.json> --icons <icon theme folder> <output folder> <source folder>...

#include <QCommandLineParser>
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
#include <QSvgRenderer>
#include <QTextStream>

#include <cmath>
#include <cstdio>

namespace {

void fail(const QString& message)
{
    std::fprintf(stderr, "corvane_picturegen: %s\n", qPrintable(message));
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

// --- what the layout documents say of their pictures -----------------------------------------------------------

struct KeyboardPicture
{
    QSize size;
    QList<QRectF> keys; // in the picture's own pixels
};

// A mouse as its layout document places it: the picture's size and each button's point, by key number.
struct MousePicture
{
    QSize size;
    QMap<int, QPointF> buttons; // centre of the button's marker, in the picture's own pixels
    bool screen = false;
};

// The side of the marker a page lays at a button's point (the point is the marker's top left corner).
constexpr qreal kMarker = 24;

void collectKeyboard(const QJsonObject& layout, QMap<QString, KeyboardPicture>* pictures)
{
    const QJsonObject key = layout.value("key").toObject();
    const QJsonArray buttons = key.value("keyBtn").toArray();
    const QSize keySize(key.value("width").toInt(), key.value("height").toInt());
    if (buttons.isEmpty() || keySize.isEmpty())
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

// Mouse layouts by the folder of their key picture ("common/Abberly/ms_logo_1.png" -> "common/Abberly"): the key,
// light and backup pictures of a model share its geometry.
void collectMouse(const QJsonObject& layout, QMap<QString, MousePicture>* mice)
{
    const QJsonObject key = layout.value("key").toObject();
    const QString base = key.value("keyBaseImge").toString();
    const QSize size(key.value("width").toInt(), key.value("height").toInt());
    if (base.isEmpty() || size.isEmpty())
        return;
    MousePicture mouse;
    mouse.size = size;
    mouse.screen = layout.value("hasOled").toBool();
    for (const QJsonValue& value : key.value("keyBtn").toArray()) {
        const QJsonObject button = value.toObject();
        mouse.buttons.insert(button.value("key").toInt(), QPointF(button.value("x").toDouble() + kMarker / 2,
                                                                  button.value("y").toDouble() + kMarker / 2));
    }
    mice->insert(QFileInfo(resourcePath(base)).path(), mouse);
}

// --- the picture table ---------------------------------------------------------------------------------------

struct Row
{
    int index = 0;
    QJsonObject data;
    QRegularExpression match;
    QMap<QString, QString> states; // ending -> colour name
    bool languages = false;
    bool shared = false;
};

struct Table
{
    QMap<QString, QColor> colours;
    QVector<Row> rows;
};

const QStringList kShows = {"icon", "device", "background", "mark", "illustration", "art"};

bool loadTable(const QString& path, Table* table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot read the picture table %1").arg(path));
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        fail(QStringLiteral("the picture table %1 is not a JSON object: %2 at %3")
                 .arg(path, error.errorString())
                 .arg(error.offset));
        return false;
    }
    const QJsonObject colours = document.object().value("colours").toObject();
    for (auto it = colours.begin(); it != colours.end(); ++it)
        table->colours.insert(it.key(), QColor(it.value().toString()));
    const QJsonArray rows = document.object().value("pictures").toArray();
    for (int i = 0; i < rows.size(); ++i) {
        Row row;
        row.index = i;
        row.data = rows.at(i).toObject();
        const QStringList names = row.data.value("names").toVariant().toStringList();
        if (names.isEmpty() || !kShows.contains(row.data.value("shows").toString())) {
            fail(QStringLiteral("row %1 of the picture table has no names or shows nothing we draw").arg(i));
            return false;
        }
        const QJsonObject states = row.data.value("states").toObject();
        for (auto it = states.begin(); it != states.end(); ++it) {
            if (!table->colours.contains(it.value().toString())) {
                fail(QStringLiteral("row %1 tints in the unknown colour %2").arg(i).arg(it.value().toString()));
                return false;
            }
            row.states.insert(it.key(), it.value().toString());
        }
        if (row.states.isEmpty())
            row.states.insert(QString(), QString());
        row.languages = row.data.value("languages").toBool() || row.data.contains("words");
        row.shared = row.data.value("shared").toBool();
        QStringList bases;
        for (const QString& name : names)
            bases << QRegularExpression::escape(name).replace(QLatin1String("\\*"), QLatin1String("[^/]+"));
        QStringList endings;
        for (const QString& ending : row.states.keys())
            endings << QRegularExpression::escape(ending);
        // Longer endings first, so "_select" is not read as "_sel" and "ect".
        std::sort(endings.begin(), endings.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
        row.match.setPattern(QStringLiteral("^(?<base>%1)(?<state>%2)%3$")
                                 .arg(bases.join('|'), endings.join('|'),
                                      row.languages ? QStringLiteral("(?<language>_en)?") : QString()));
        table->rows << row;
    }
    return true;
}

// --- drawing ----------------------------------------------------------------------------------------------

struct Context
{
    const Table* table = nullptr;
    QString icons;
    QMap<QString, KeyboardPicture> keyboards;
    QMap<QString, MousePicture> mice;
    QString error;
};

QImage canvas(const QSize& size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QSize rowSize(const Row& row, const QSize& fallback = QSize())
{
    const QJsonArray size = row.data.value("size").toArray();
    if (size.size() == 2)
        return QSize(size.at(0).toInt(), size.at(1).toInt());
    return fallback;
}

QColor colour(const Context& context, const QString& name)
{
    return context.table->colours.value(name, QColor("#303344"));
}

// An icon of the set as a mask in one colour: Breeze draws in the text colour of its style sheet, so every
// fill becomes the tint.
bool drawIcon(Context& context, QPainter& p, const QString& icon, const QRectF& area, const QColor& tint)
{
    const QString file = QDir(context.icons).filePath(icon + ".svg");
    QByteArray svg;
    QFile source(file);
    if (source.open(QIODevice::ReadOnly))
        svg = source.readAll();
    svg.replace("currentColor", "#000000");
    QSvgRenderer renderer(svg);
    if (svg.isEmpty() || !renderer.isValid()) {
        context.error = QStringLiteral("no icon %1 in %2").arg(icon, context.icons);
        return false;
    }
    const QSize size = area.size().toSize();
    QImage mask = canvas(size);
    {
        QPainter m(&mask);
        m.setRenderHint(QPainter::Antialiasing);
        renderer.render(&m, QRectF(QPointF(0, 0), area.size()));
        m.setCompositionMode(QPainter::CompositionMode_SourceIn);
        m.fillRect(mask.rect(), tint);
    }
    p.drawImage(area.topLeft(), mask);
    return true;
}

QRectF square(const QSize& size, qreal margin)
{
    const qreal side = qMin(size.width(), size.height()) * (1 - 2 * margin);
    return QRectF((size.width() - side) / 2, (size.height() - side) / 2, side, side);
}

QImage iconPicture(Context& context, const Row& row, const QColor& tint)
{
    QImage image = canvas(rowSize(row, QSize(48, 48)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF area = square(image.size(), 0.03);
    if (row.data.contains("disc")) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour(context, row.data.value("disc").toString()));
        p.drawEllipse(square(image.size(), 0.02));
        area = square(image.size(), 0.24);
    }
    if (!drawIcon(context, p, row.data.value("icon").toString(), area, tint))
        return {};
    if (row.data.contains("badge")) {
        // The badge sits at the lower right on a cleared disc, so it reads apart from the icon.
        const qreal side = area.width() * 0.55;
        const QRectF badge(area.right() - side + area.width() * 0.08, area.bottom() - side + area.height() * 0.08, side, side);
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setBrush(Qt::black);
        p.drawEllipse(badge.adjusted(-2, -2, 2, 2));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (!drawIcon(context, p, row.data.value("badge").toString(), badge, colour(context, "accent")))
            return {};
    }
    return image;
}

QFont textFont(qreal pixels, bool bold = false)
{
    QFont font(QStringLiteral("Droid Sans Fallback"));
    font.setPixelSize(qMax(6, int(pixels)));
    font.setBold(bold);
    return font;
}

QImage illustration(Context& context, const Row& row, bool english)
{
    QImage image = canvas(rowSize(row, QSize(320, 160)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QSizeF size(image.size());
    p.setPen(QPen(colour(context, "line"), 1));
    p.setBrush(colour(context, "panel"));
    p.drawRoundedRect(QRectF(QPointF(0.5, 0.5), size - QSizeF(1, 1)), 10, 10);
    const qreal side = size.height() * 0.5;
    const QRectF icon((size.width() - side) / 2, size.height() * 0.08, side, side);
    if (!drawIcon(context, p, row.data.value("icon").toString(), icon, colour(context, "ink")))
        return {};
    if (row.data.contains("badge")) {
        const qreal b = side * 0.5;
        const QRectF badge(icon.right() - b * 0.6, icon.bottom() - b * 0.8, b, b);
        p.setPen(Qt::NoPen);
        p.setBrush(colour(context, "panel"));
        p.drawEllipse(badge.adjusted(-3, -3, 3, 3));
        if (!drawIcon(context, p, row.data.value("badge").toString(), badge, colour(context, "accent")))
            return {};
    }
    const QJsonObject words = row.data.value("words").toObject();
    p.setPen(colour(context, "ink"));
    p.setFont(textFont(size.height() * 0.13, true));
    p.drawText(QRectF(8, size.height() * 0.66, size.width() - 16, size.height() * 0.3), Qt::AlignCenter | Qt::TextWordWrap,
               words.value(english ? "en" : "zh").toString());
    return image;
}

// The outline of a keyboard seen from above, filling area.
void keyboardOutline(QPainter& p, const QRectF& area, const QColor& ink)
{
    const QRectF body(area.left(), area.top() + area.height() * 0.22, area.width(), area.height() * 0.62);
    const qreal line = qMax(1.5, area.height() / 28);
    p.setPen(QPen(ink, line));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, line * 3, line * 3);
    const int columns = 10;
    const qreal pitch = body.width() / (columns + 1);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < columns - (row == 2 ? 4 : 0); ++col) {
            const qreal x = body.left() + pitch * (0.6 + col) + (row == 2 ? pitch * 2 : 0);
            const qreal y = body.top() + body.height() * (0.18 + 0.26 * row);
            p.drawRoundedRect(QRectF(x, y, pitch * 0.7, body.height() * 0.16), 1, 1);
        }
    }
    // The cable.
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), area.top()));
}

// The outline of a mouse seen from above, standing in area.
void mouseOutline(QPainter& p, const QRectF& area, const QColor& ink)
{
    const qreal h = area.height() * 0.86;
    const qreal w = qMin(area.width(), h * 0.62);
    const QRectF body(area.center().x() - w / 2, area.bottom() - h, w, h);
    const qreal line = qMax(1.5, h / 28);
    p.setPen(QPen(ink, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body, w / 2, w / 2.2);
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), body.top() + h * 0.36));
    p.drawLine(QPointF(body.left() + line, body.top() + h * 0.36), QPointF(body.right() - line, body.top() + h * 0.36));
    p.drawRoundedRect(QRectF(body.center().x() - w * 0.07, body.top() + h * 0.1, w * 0.14, h * 0.16), w * 0.07, w * 0.07);
}

QImage deviceOutline(Context& context, const Row& row, bool keyboard, const QString& name)
{
    QImage image = canvas(rowSize(row, QSize(240, 160)));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF area = QRectF(image.rect()).adjusted(4, 4, -4, -4);
    if (!name.isEmpty())
        area.setBottom(area.bottom() - area.height() * 0.22);
    const QColor ink = colour(context, "ink");
    if (keyboard)
        keyboardOutline(p, area, ink);
    else
        mouseOutline(p, area, ink);
    if (!name.isEmpty()) {
        p.setPen(ink);
        p.setFont(textFont(image.height() * 0.14, true));
        p.drawText(QRectF(0, area.bottom() + 2, image.width(), image.height() - area.bottom() - 2), Qt::AlignCenter, name);
    }
    return image;
}

QImage drawKeyboard(const KeyboardPicture& keyboard, bool light)
{
    QImage image = canvas(keyboard.size);
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

// Key numbers of the layout documents' mouse buttons.
enum MouseKey { kLeft = 0, kRight = 1, kMiddle = 2, kForward = 3, kBack = 4, kDpiUp = 5, kDpiDown = 6, kRollerForward = 11, kRollerBack = 12, kDpiCycle = 13 };

// A mouse seen from above with every button of its layout where the layout puts the button's point: the two
// main buttons, the wheel, DPI and top buttons as small caps, side buttons on the flanks (on a thumb rest where
// the layout puts them beside the body), the wheel's two directions as arrows, the screen on the palm.
QImage drawMouse(const MousePicture& mouse, const QString& name, bool light)
{
    QImage image = canvas(mouse.size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QSizeF size(mouse.size);
    const auto point = [&](int key, QPointF fallback) { return mouse.buttons.value(key, fallback); };
    const QPointF left = point(kLeft, QPointF(size.width() * 0.4, size.height() * 0.25));
    const QPointF right = point(kRight, QPointF(size.width() * 0.6, size.height() * 0.25));
    const QPointF middle = point(kMiddle, (left + right) / 2);
    const qreal cx = middle.x();
    const qreal half = qMin(qMax(qAbs(left.x() - cx), qAbs(right.x() - cx)) + 34, qMin(cx, size.width() - cx) - 4);
    const qreal top = qMax<qreal>(4, qMin(qMin(left.y(), right.y()), middle.y()) - 34);
    const qreal bottom = size.height() - 6;
    const QRectF body(cx - half, top, 2 * half, bottom - top);

    // Buttons beside the body go on a thumb rest (left) or a finger rest (right) joined to it.
    // An egg: narrower at the front, widest behind the buttons, round at the palm.
    QPainterPath shape;
    const qreal h = body.height();
    shape.moveTo(cx, top);
    shape.cubicTo(QPointF(cx + half * 0.75, top), QPointF(cx + half, top + h * 0.12), QPointF(cx + half, top + h * 0.4));
    shape.cubicTo(QPointF(cx + half, top + h * 0.75), QPointF(cx + half * 0.8, bottom), QPointF(cx, bottom));
    shape.cubicTo(QPointF(cx - half * 0.8, bottom), QPointF(cx - half, top + h * 0.75), QPointF(cx - half, top + h * 0.4));
    shape.cubicTo(QPointF(cx - half, top + h * 0.12), QPointF(cx - half * 0.75, top), QPointF(cx, top));
    shape.closeSubpath();
    QList<QPointF> wingsLeft, wingsRight;
    for (auto it = mouse.buttons.cbegin(); it != mouse.buttons.cend(); ++it) {
        if (it.key() == kRollerForward || it.key() == kRollerBack)
            continue;
        if (it.value().x() < body.left() + 10)
            wingsLeft << it.value();
        else if (it.value().x() > body.right() - 10)
            wingsRight << it.value();
    }
    const auto wing = [&](const QList<QPointF>& points, bool onLeft) {
        if (points.isEmpty())
            return;
        qreal y0 = points.first().y(), y1 = y0, reach = points.first().x();
        for (const QPointF& pt : points) {
            y0 = qMin(y0, pt.y());
            y1 = qMax(y1, pt.y());
            reach = onLeft ? qMin(reach, pt.x()) : qMax(reach, pt.x());
        }
        const qreal outer = onLeft ? qMax<qreal>(2, reach - 20) : qMin(size.width() - 2, reach + 20);
        const qreal inner = onLeft ? body.left() + half * 0.5 : body.right() - half * 0.5;
        QPainterPath rest;
        rest.addRoundedRect(QRectF(QPointF(qMin(outer, inner), y0 - 30), QPointF(qMax(outer, inner), y1 + 30)), 26, 26);
        shape = shape.united(rest);
    };
    wing(wingsLeft, true);
    wing(wingsRight, false);

    const QColor shell = light ? QColor("#252838") : QColor("#2E3142");
    const QColor edge = light ? QColor("#49FFE5") : QColor("#50556B");
    const QColor cap("#41465C");
    const QColor line("#5F657D");
    p.setPen(QPen(edge, light ? 4 : 2));
    p.setBrush(shell);
    p.drawPath(shape);

    // The two main buttons, split down the middle and across below the wheel.
    const qreal split = qMax(left.y(), right.y()) + 48;
    p.setPen(QPen(line, 2));
    p.drawLine(QPointF(cx, body.top() + 2), QPointF(cx, split));
    QPainterPath across;
    across.moveTo(body.left() + 6, split + 14);
    across.quadTo(QPointF(cx, split - 8), QPointF(body.right() - 6, split + 14));
    p.setBrush(Qt::NoBrush);
    p.drawPath(across);
    // The main buttons a shade lighter than the shell.
    {
        QPainterPath front;
        front.moveTo(body.left() - 40, body.top() - 4);
        front.lineTo(body.right() + 40, body.top() - 4);
        front.lineTo(body.right() + 40, split + 14);
        front.quadTo(QPointF(cx, split - 8), QPointF(body.left() - 40, split + 14));
        front.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 16));
        p.drawPath(front.intersected(shape));
    }

    // The wheel at the middle button, with its two directions where the layout puts them.
    p.setPen(QPen(QColor("#1E2030"), 1));
    p.setBrush(QColor("#6A7089"));
    p.drawRoundedRect(QRectF(middle.x() - 8, middle.y() - 16, 16, 32), 7, 7);
    p.setPen(QPen(QColor("#8D93AA"), 1.5));
    for (int i = -2; i <= 2; ++i)
        p.drawLine(QPointF(middle.x() - 5, middle.y() + i * 5), QPointF(middle.x() + 5, middle.y() + i * 5));
    for (int key : {kRollerForward, kRollerBack}) {
        if (!mouse.buttons.contains(key))
            continue;
        const QPointF at = mouse.buttons.value(key);
        const qreal d = key == kRollerForward ? -1 : 1;
        p.setPen(QPen(QColor("#8D93AA"), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({at + QPointF(-7, -d * 3), at + QPointF(0, d * 5), at + QPointF(7, -d * 3)}));
        // Arrows beside the body say which wheel they turn.
        if (qAbs(at.x() - middle.x()) > 24) {
            p.setPen(QPen(QColor("#5F657D"), 1, Qt::DotLine));
            p.drawLine(at, QPointF(middle.x() + (at.x() > middle.x() ? 9 : -9), middle.y()));
        }
    }

    // Every other button as a cap at its point: DPI buttons flat, side buttons long.
    for (auto it = mouse.buttons.cbegin(); it != mouse.buttons.cend(); ++it) {
        const int key = it.key();
        if (key == kLeft || key == kRight || key == kMiddle || key == kRollerForward || key == kRollerBack)
            continue;
        const QPointF at = it.value();
        const bool dpi = key == kDpiUp || key == kDpiDown || key == kDpiCycle;
        const bool side = at.x() < body.left() + half * 0.45 || at.x() > body.right() - half * 0.45;
        const QSizeF capSize = dpi && !side ? QSizeF(22, 12) : (side ? QSizeF(12, 30) : QSizeF(18, 18));
        p.setPen(QPen(QColor("#1E2030"), 1));
        p.setBrush(dpi ? QColor("#5A7FA6") : cap);
        p.drawRoundedRect(QRectF(at - QPointF(capSize.width() / 2, capSize.height() / 2), capSize), 4, 4);
    }

    // The screen on the palm, below every button of the top.
    if (mouse.screen) {
        qreal lowest = split;
        for (auto it = mouse.buttons.cbegin(); it != mouse.buttons.cend(); ++it) {
            if (qAbs(it.value().x() - cx) < half * 0.5)
                lowest = qMax(lowest, it.value().y());
        }
        const qreal w = half * 0.8;
        const qreal h = w * 0.45;
        const qreal y = qMin(lowest + 24, bottom - h - 40);
        p.setPen(QPen(QColor("#1E2030"), 2));
        p.setBrush(QColor("#0D0F16"));
        p.drawRoundedRect(QRectF(cx - w / 2, y, w, h), 4, 4);
        p.setPen(QPen(QColor("#49FFE5"), 1));
        p.drawLine(QPointF(cx - w * 0.3, y + h * 0.4), QPointF(cx + w * 0.2, y + h * 0.4));
        p.drawLine(QPointF(cx - w * 0.3, y + h * 0.65), QPointF(cx + w * 0.05, y + h * 0.65));
    }

    // The light (a lit logo on the palm) and the model's name.
    const QPointF logo(cx, bottom - 34);
    if (light) {
        QRadialGradient glow(logo, 40);
        glow.setColorAt(0, QColor(73, 255, 229, 200));
        glow.setColorAt(1, QColor(73, 255, 229, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(logo, 40, 40);
    }
    p.setPen(light ? QColor("#1E2030") : QColor("#9AA0B8"));
    p.setFont(textFont(qMin<qreal>(14, half / 5), true));
    p.drawText(QRectF(cx - half, logo.y() - 10, 2 * half, 20), Qt::AlignCenter, name);
    return image;
}

// Marks and backgrounds drawn from their row's "draw" word.
QImage drawMark(Context& context, const Row& row)
{
    const QString what = row.data.value("draw").toString();
    QImage image = canvas(rowSize(row, QSize(48, 48)));
    const QSizeF size(image.size());
    const qreal s = qMin(size.width(), size.height());
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = colour(context, "accent");
    const QColor muted = colour(context, "muted");
    const QColor white = colour(context, "white");

    if (what == "window" || what == "page") {
        QLinearGradient gradient(0, 0, 0, size.height());
        gradient.setColorAt(0, what == "window" ? QColor("#F4F7FA") : QColor("#FAFBFC"));
        gradient.setColorAt(1, what == "window" ? QColor("#E3E9F0") : QColor("#EEF2F6"));
        p.fillRect(image.rect(), gradient);
    } else if (what == "panel") {
        p.fillRect(image.rect(), colour(context, "panel"));
    } else if (what == "screen-frame") {
        p.setPen(QPen(QColor("#50556B"), 2));
        p.setBrush(QColor("#1E2030"));
        p.drawRoundedRect(QRectF(QPointF(1, 1), size - QSizeF(2, 2)), 8, 8);
    } else if (what == "switch-on" || what == "switch-off") {
        // A power switch: lit on, grey off.
        const bool on = what == "switch-on";
        const QRectF disc = square(image.size(), 0.06);
        p.setPen(on ? Qt::NoPen : QPen(muted, s / 14));
        p.setBrush(on ? QBrush(accent) : Qt::NoBrush);
        p.drawEllipse(disc);
        const QColor glyph = on ? white : muted;
        p.setPen(QPen(glyph, s / 10, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF arc = square(image.size(), 0.28);
        p.drawArc(arc, 120 * 16, 300 * 16);
        p.drawLine(QPointF(size.width() / 2, arc.top() - s * 0.04), QPointF(size.width() / 2, size.height() / 2));
    } else if (what == "checkbox-on" || what == "checkbox-off") {
        const bool on = what == "checkbox-on";
        const QRectF box = square(image.size(), 0.1);
        p.setPen(on ? Qt::NoPen : QPen(muted, s / 14));
        p.setBrush(on ? QBrush(accent) : QBrush(white));
        p.drawRoundedRect(box, s / 8, s / 8);
        if (on) {
            p.setPen(QPen(white, s / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF({QPointF(s * 0.28, s * 0.52), QPointF(s * 0.44, s * 0.68), QPointF(s * 0.72, s * 0.34)}));
        }
    } else if (what == "toggle-on" || what == "toggle-off") {
        const bool on = what == "toggle-on";
        const QRectF track = QRectF(QPointF(1, 1), size - QSizeF(2, 2));
        p.setPen(Qt::NoPen);
        p.setBrush(on ? accent : QColor("#C9D0D8"));
        p.drawRoundedRect(track, track.height() / 2, track.height() / 2);
        const qreal knob = track.height() - 6;
        p.setBrush(white);
        p.drawEllipse(QRectF(on ? track.right() - knob - 3 : track.left() + 3, track.top() + 3, knob, knob));
    } else if (what == "bar") {
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawRoundedRect(QRectF(QPointF(0, 0), size), s / 2, s / 2);
    } else if (what == "dial") {
        // The pointer speed dial: a scale from slow (left) to fast (right).
        const QRectF ring = square(image.size(), 0.08);
        p.setPen(QPen(QColor("#DEE9F1"), s * 0.07, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(ring, -45 * 16, 270 * 16);
        QConicalGradient gradient(ring.center(), 225);
        gradient.setColorAt(0, QColor("#9CC3E6"));
        gradient.setColorAt(0.75, accent);
        p.setPen(QPen(QBrush(gradient), s * 0.02));
        for (int i = 0; i <= 10; ++i) {
            const qreal angle = (225 - 27 * i) * M_PI / 180;
            const QPointF c = ring.center();
            const qreal r0 = ring.width() / 2 - s * 0.08, r1 = ring.width() / 2 - s * (i % 5 == 0 ? 0.16 : 0.12);
            p.drawLine(c + QPointF(std::cos(angle) * r0, -std::sin(angle) * r0), c + QPointF(std::cos(angle) * r1, -std::sin(angle) * r1));
        }
    } else if (what == "needle") {
        QPainterPath needle;
        needle.moveTo(size.width() / 2, 0);
        needle.lineTo(size.width() * 0.85, size.height() - size.width() * 0.4);
        needle.lineTo(size.width() / 2, size.height());
        needle.lineTo(size.width() * 0.15, size.height() - size.width() * 0.4);
        needle.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawPath(needle);
    } else if (what == "speed-dial" || what == "brightness-dial") {
        // The face of a light dial: a scale over the needle's sweep, from straight down-left round to down-right
        // (225 to -45 degrees); speed as ticks closing up towards fast, brightness as dark turning to light.
        const QRectF ring = square(image.size(), 0.1);
        const QPointF c = ring.center();
        const qreal r = ring.width() / 2;
        if (what == "brightness-dial") {
            QConicalGradient gradient(c, 225);
            gradient.setColorAt(0, QColor("#FFF4C2"));
            gradient.setColorAt(0.75, QColor("#2A2D3C"));
            gradient.setColorAt(1, QColor("#2A2D3C"));
            p.setPen(QPen(QBrush(gradient), s * 0.07, Qt::SolidLine, Qt::FlatCap));
            p.drawArc(ring, 225 * 16, -270 * 16);
        } else {
            p.setPen(QPen(accent, s * 0.015, Qt::SolidLine, Qt::RoundCap));
            qreal step = 24;
            for (qreal a = 0; a <= 270; a += step) {
                const qreal angle = (225 - a) * M_PI / 180;
                const qreal inner = r - s * (0.05 + 0.06 * a / 270);
                p.drawLine(c + QPointF(std::cos(angle) * r, -std::sin(angle) * r),
                           c + QPointF(std::cos(angle) * inner, -std::sin(angle) * inner));
                step = qMax<qreal>(5, step * 0.85);
            }
        }
    } else if (what == "battery") {
        const QColor c = colour(context, row.data.value("colour").toString());
        const QRectF shell(2, 2, size.width() - 10, size.height() - 4);
        p.setPen(QPen(c, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(shell, 4, 4);
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRoundedRect(QRectF(shell.right() + 1, size.height() * 0.32, 5, size.height() * 0.36), 2, 2);
        const qreal level = qBound(0.05, row.data.value("level").toDouble(), 1.0);
        p.drawRoundedRect(QRectF(shell.left() + 4, shell.top() + 4, (shell.width() - 8) * level, shell.height() - 8), 2, 2);
    } else if (what == "avatar-ring") {
        // A ring whose corners hide what lies outside the circle.
        QPainterPath corners;
        corners.addRect(QRectF(QPointF(0, 0), size));
        QPainterPath circle;
        circle.addEllipse(QRectF(QPointF(2, 2), size - QSizeF(4, 4)));
        p.fillPath(corners.subtracted(circle), QColor("#EEF2F6"));
        p.setPen(QPen(white, 3));
        p.drawEllipse(QRectF(QPointF(3, 3), size - QSizeF(6, 6)));
    } else if (what == "bubble") {
        p.setPen(QPen(QColor("#BAC2CA"), 1));
        p.setBrush(white);
        const qreal tip = size.height() * 0.2;
        p.drawRoundedRect(QRectF(tip, 1, size.width() - tip - 1, size.height() - 2), 6, 6);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(1, size.height() / 2), QPointF(tip + 1, size.height() / 2 - tip * 0.8),
                                 QPointF(tip + 1, size.height() / 2 + tip * 0.8)}));
    } else if (what == "busy-ring") {
        // A faint track with a bright arc on one side, so turning shows.
        const QRectF ring = square(image.size(), 0.08);
        p.setPen(QPen(QColor("#DEE9F1"), s * 0.06));
        p.drawEllipse(ring);
        // The head at the top; the tail fades behind it (the ring turns clockwise).
        QConicalGradient tail(ring.center(), 90);
        tail.setColorAt(0, accent);
        tail.setColorAt(0.4, QColor(97, 149, 194, 0));
        tail.setColorAt(1, QColor(97, 149, 194, 0));
        p.setPen(QPen(QBrush(tail), s * 0.06, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, 90 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        p.drawEllipse(QPointF(ring.center().x(), ring.top()), s * 0.045, s * 0.045);
    } else if (what == "button-ring") {
        const QRectF ring = square(image.size(), 0.08);
        p.setPen(QPen(accent, s * 0.1));
        p.setBrush(QColor(97, 149, 194, 70));
        p.drawEllipse(ring);
    } else if (what == "oled-screen") {
        p.setPen(QPen(QColor("#50556B"), 2));
        p.setBrush(QColor("#0D0F16"));
        p.drawRoundedRect(QRectF(QPointF(1, 1), size - QSizeF(2, 2)), 4, 4);
        p.setPen(QColor("#49FFE5"));
        p.setFont(textFont(size.height() * 0.3, true));
        p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("OLED"));
    } else if (what == "wordmark") {
        p.setPen(Qt::NoPen);
        p.setBrush(white);
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
    } else if (what == "app-icon") {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#2E3142"));
        p.drawRoundedRect(QRectF(QPointF(0, 0), size), s / 5, s / 5);
        p.setBrush(accent);
        QPainterPath mark;
        mark.moveTo(s * 0.18, s * 0.26);
        mark.lineTo(s * 0.5, s * 0.78);
        mark.lineTo(s * 0.82, s * 0.26);
        mark.lineTo(s * 0.68, s * 0.26);
        mark.lineTo(s * 0.5, s * 0.56);
        mark.lineTo(s * 0.32, s * 0.26);
        mark.closeSubpath();
        p.drawPath(mark);
    } else {
        context.error = QStringLiteral("row %1 asks for the unknown drawing \"%2\"").arg(row.index).arg(what);
        return {};
    }
    return image;
}

QImage drawArt(Context& context, const Row& row, const QString& name)
{
    const QString what = row.data.value("draw").toString();
    const int n = QRegularExpression("(\\d+)$").match(name).captured(1).toInt();
    const QSize size = rowSize(row, QSize(160, 100));
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (what == "profile-art") {
        QLinearGradient gradient(0, 0, size.width(), size.height());
        gradient.setColorAt(0, QColor::fromHsv((200 + n * 40) % 360, 120, 200));
        gradient.setColorAt(1, QColor::fromHsv((230 + n * 40) % 360, 160, 120));
        p.fillRect(image.rect(), gradient);
    } else if (what == "avatar") {
        image.fill(QColor::fromHsv((n * 47) % 360, 90, 220));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(size.width() / 2.0, size.height() * 0.38), size.width() * 0.18, size.width() * 0.18);
        p.drawEllipse(QRectF(size.width() * 0.18, size.height() * 0.62, size.width() * 0.64, size.height() * 0.6));
    } else {
        context.error = QStringLiteral("row %1 asks for the unknown drawing \"%2\"").arg(row.index).arg(what);
        return {};
    }
    return image;
}

// The model's name as the pictures show it: "newUI/Firm/sj_abberly" -> "ABBERLY", "Ulverd_LOW" -> "ULVERD LOW".
QString modelName(const QString& word)
{
    QString name = word;
    if (name.startsWith("sj_"))
        name.remove(0, 3);
    return name.replace('_', ' ').toUpper();
}

QImage drawDevice(Context& context, const Row& row, const QString& path)
{
    const QString what = row.data.value("draw").toString();
    const QString folder = QFileInfo(path).path();
    if (what == "keyboard-outline" || what == "mouse-outline")
        return deviceOutline(context, row, what == "keyboard-outline", QString());
    if (what == "keyboard-named" || what == "mouse-named")
        return deviceOutline(context, row, what == "keyboard-named", modelName(QFileInfo(path).completeBaseName()));
    if (what == "keyboard-layout" || what == "keyboard-layout-light") {
        const auto keyboard = context.keyboards.constFind(path);
        if (keyboard == context.keyboards.constEnd()) {
            context.error = QStringLiteral("no layout document gives the keys of %1").arg(path);
            return {};
        }
        return drawKeyboard(*keyboard, what.endsWith("light"));
    }
    if (what == "mouse-layout" || what == "mouse-layout-light") {
        // The model's own folder, else a folder of the same model elsewhere ("newUI/Harlo_Hollis" for
        // "Harlo_Hollis").
        const QString model = QFileInfo(folder).fileName();
        auto mouse = context.mice.constFind(folder);
        for (auto it = context.mice.constBegin(); mouse == context.mice.constEnd() && it != context.mice.constEnd(); ++it) {
            if (QFileInfo(it.key()).fileName() == model)
                mouse = it;
        }
        if (mouse == context.mice.constEnd()) {
            context.error = QStringLiteral("no layout document gives the buttons of %1").arg(path);
            return {};
        }
        return drawMouse(*mouse, modelName(model), what.endsWith("light"));
    }
    context.error = QStringLiteral("row %1 asks for the unknown drawing \"%2\"").arg(row.index).arg(what);
    return {};
}

QImage drawPicture(Context& context, const Row& row, const QString& path, const QString& state, bool english)
{
    const QString shows = row.data.value("shows").toString();
    if (shows == "icon")
        return iconPicture(context, row, colour(context, row.states.value(state)));
    if (shows == "illustration")
        return illustration(context, row, english);
    if (shows == "device")
        return drawDevice(context, row, path);
    if (shows == "art")
        return drawArt(context, row, QFileInfo(path).completeBaseName());
    return drawMark(context, row);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"table", "The picture table.", "file"});
    parser.addOption({"icons", "The icon theme's folder.", "folder"});
    parser.addPositionalArgument("output", "Where the pictures go.");
    parser.addPositionalArgument("sources", "Folders of documents that name pictures.");
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() < 2 || !parser.isSet("table") || !parser.isSet("icons")) {
        std::fprintf(stderr, "usage: corvane_picturegen --table <pictures.json> --icons <folder> <output folder> <source folder>...\n");
        return 2;
    }
    Table table;
    if (!loadTable(parser.value("table"), &table))
        return 1;
    Context context;
    context.table = &table;
    context.icons = parser.value("icons");

    const QDir out(args.at(0));
    static const QRegularExpression named(QStringLiteral("[\"'](qrc:/?|:/)([^\"'\\s]+\\.(?:png|jpg|gif))[\"']"));
    static const QRegularExpression listed(QStringLiteral("<file(?: alias=\"([^\"]+)\")?>([^<]+)</file>"));

    QSet<QString> wanted;
    QSet<QString> provided;
    for (int i = 1; i < args.size(); ++i) {
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
            if (file.endsWith(".json")) {
                const QJsonObject layout = QJsonDocument::fromJson(text.toUtf8()).object();
                if (layout.value("deviceType").toInt() == 1)
                    collectMouse(layout, &context.mice);
                else if (layout.contains("key"))
                    collectKeyboard(layout, &context.keyboards);
            }
        }
    }
    // Resource lists name their files relative to their own folder: what they list under a prefix is theirs.
    wanted.subtract(provided);

    QStringList sorted = wanted.values();
    sorted.sort();
    QStringList entries;
    QJsonObject manifest;
    QStringList unknown;
    for (const QString& path : sorted) {
        const QString stem = path.left(path.lastIndexOf('.'));
        const Row* row = nullptr;
        QRegularExpressionMatch match;
        for (const Row& candidate : table.rows) {
            match = candidate.match.match(stem);
            if (match.hasMatch()) {
                row = &candidate;
                break;
            }
        }
        if (!row) {
            unknown << path;
            continue;
        }
        const QString state = match.captured("state");
        const bool english = !match.captured("language").isEmpty();
        const QImage image = drawPicture(context, *row, path, state, english);
        if (image.isNull()) {
            fail(context.error.isEmpty() ? QStringLiteral("cannot draw %1").arg(path) : context.error);
            return 1;
        }
        const QString target = out.filePath(path);
        QDir().mkpath(QFileInfo(target).path());
        if (!image.save(target)) {
            fail(QStringLiteral("cannot write %1").arg(target));
            return 1;
        }
        entries << QStringLiteral("    <file>%1</file>").arg(path);
        QJsonObject entry;
        entry.insert("row", row->index);
        entry.insert("what", row->data.value("what").toString());
        entry.insert("shows", row->data.value("shows").toString());
        // What the picture is a variant of: one picture for the whole row where the row says so.
        QString picture = match.captured("base");
        if (row->shared)
            picture = QStringLiteral("row %1").arg(row->index);
        else if (row->data.value("byModel").toBool())
            picture = QStringLiteral("%1, row %2").arg(QFileInfo(path).dir().dirName()).arg(row->index);
        entry.insert("picture", picture);
        entry.insert("state", state);
        entry.insert("language", english ? QStringLiteral("en") : QStringLiteral("zh"));
        manifest.insert(path, entry);
    }
    if (!unknown.isEmpty()) {
        for (const QString& path : unknown)
            fail(QStringLiteral("no row of the picture table draws %1").arg(path));
        return 1;
    }

    QSaveFile list(out.filePath("pictures.qrc"));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    QTextStream stream(&list);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n" << entries.join('\n')
           << "\n  </qresource>\n</RCC>\n";
    stream.flush();
    QSaveFile manifestFile(out.filePath("pictures.json"));
    if (!manifestFile.open(QIODevice::WriteOnly))
        return 1;
    manifestFile.write(QJsonDocument(manifest).toJson());
    return list.commit() && manifestFile.commit() ? 0 : 1;
}
