#include "WindowAudit.h"

#include "app/KAppCommon.h"
#include "app/KAppManager.h"
#include "app/KAppModel.h"
#include "app/KConfigCommon.h"
#include "app/UIManager.h"
#include "devices/SimulatedModels.h"
#include "sim/SimulationSetup.h"

#include "LogCapture.h"
#include "QuickTree.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>
#include <memory>

using namespace WindowTestSupport;

namespace WindowAudit {

namespace {

// Lengths are compared with this much room: text metrics and scaled lengths round.
constexpr qreal kSlack = 1.5;

bool inherits(const QObject* object, const char* className)
{
    return object && object->inherits(className);
}

bool isControl(const QQuickItem* item)
{
    return inherits(item, "QQuickAbstractButton") || inherits(item, "QQuickTextInput")
           || inherits(item, "QQuickTextEdit") || inherits(item, "QQuickSlider") || inherits(item, "QQuickComboBox")
           || inherits(item, "QQuickSpinBox");
}

// A rectangle that is drawn: a fill that is not transparent, or a border.
bool drawsABox(const QQuickItem* item)
{
    if (!inherits(item, "QQuickRectangle") || item->width() <= 0 || item->height() <= 0)
        return false;
    const QColor fill = item->property("color").value<QColor>();
    QObject* border = item->property("border").value<QObject*>();
    // A border of the default look (1 pixel, black) is one that was never set, and is not drawn.
    const qreal borderWidth = border ? border->property("width").toReal() : 0;
    const QColor borderColor = border ? border->property("color").value<QColor>() : QColor();
    const bool framed = borderWidth > 0 && borderColor.alpha() > 0
                        && !(borderWidth == 1 && borderColor == QColor(Qt::black));
    return fill.alpha() > 0 || framed;
}

bool within(const QRectF& inner, const QRectF& outer)
{
    return inner.left() >= outer.left() - kSlack && inner.top() >= outer.top() - kSlack
           && inner.right() <= outer.right() + kSlack && inner.bottom() <= outer.bottom() + kSlack;
}

QString rectText(const QRectF& rect)
{
    return QStringLiteral("(%1,%2 %3x%4)")
        .arg(qRound(rect.x()))
        .arg(qRound(rect.y()))
        .arg(qRound(rect.width()))
        .arg(qRound(rect.height()));
}

QString describe(const QQuickItem* item, const QRectF& rect)
{
    QString what = typeOf(const_cast<QQuickItem*>(item));
    if (!item->objectName().isEmpty())
        what += " '" + item->objectName() + "'";
    const QString text = item->property("text").toString();
    if (!text.isEmpty())
        what += " \"" + text.left(40) + "\"";
    return what + " " + rectText(rect);
}

// Where a text item paints its text, by its alignment, in scene coordinates.
QRectF paintedRect(const QQuickItem* text)
{
    const qreal w = text->property("contentWidth").toReal();
    const qreal h = text->property("contentHeight").toReal();
    const int horizontal = text->property("horizontalAlignment").toInt();
    const int vertical = text->property("verticalAlignment").toInt();
    qreal x = 0;
    if (horizontal & Qt::AlignRight)
        x = text->width() - w;
    else if (horizontal & Qt::AlignHCenter)
        x = (text->width() - w) / 2;
    qreal y = 0;
    if (vertical & Qt::AlignBottom)
        y = text->height() - h;
    else if (vertical & Qt::AlignVCenter)
        y = (text->height() - h) / 2;
    return text->mapRectToScene(QRectF(x, y, w, h));
}

struct Context
{
    QRectF clip;           // what clipping ancestors leave visible
    QRectF hardClip;       // the same without scroll views, whose content is cut on purpose
    QRectF box;            // the nearest drawn box around the item (null: none)
    const QQuickItem* layer = nullptr; // the popup the item lies in (null: the window itself)
};

struct Shown
{
    QQuickItem* item;
    QRectF rect;
    const QQuickItem* layer;
};

class Auditor
{
public:
    Auditor(QQuickWindow* window, const QString& language, const QSet<QString>& untranslated)
        : m_window(window)
        , m_chinese(language == QLatin1String("zh"))
        , m_untranslated(untranslated)
        , m_windowRect(0, 0, window->width(), window->height())
    {
    }

    QStringList run()
    {
        if (const QScreen* screen = m_window->screen()) {
            if (!within(m_window->geometry(), screen->availableGeometry()))
                m_findings << "screen: the window " + rectText(m_window->geometry()) + " lies beyond the available area "
                                  + rectText(screen->availableGeometry());
        }
        // The content item holds the pages and, in the overlay, the popups.
        QQuickItem* root = m_window->contentItem();
        Context context;
        context.clip = m_windowRect.adjusted(-1e6, -1e6, 1e6, 1e6);
        context.hardClip = context.clip;
        for (QQuickItem* child : root->childItems())
            visit(child, context);
        checkOverlaps();
        m_findings.removeDuplicates();
        return m_findings;
    }

private:
    void visit(QQuickItem* item, Context context)
    {
        if (!item->isVisible() || item->opacity() < 0.05)
            return;
        const QRectF rect = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
        const QRectF shown = rect.intersected(context.clip);
        if (inherits(item, "QQuickPopupItem"))
            context.layer = item;

        if (inherits(item, "QQuickText"))
            checkText(item, context);
        if (!shown.isEmpty() && !within(shown, m_windowRect) && rect.width() > 0 && rect.height() > 0)
            m_findings << "outside: " + describe(item, shown);
        if (isControl(item) && item->isEnabled() && shown.width() > 2 && shown.height() > 2)
            m_controls.append({item, shown, context.layer});

        if (item->clip()) {
            context.clip = context.clip.intersected(rect);
            if (!inherits(item, "QQuickFlickable"))
                context.hardClip = context.hardClip.intersected(rect);
        }
        if (drawsABox(item)) {
            context.box = rect;
            // An opaque panel over the whole window hides what lies below it.
            if (!context.layer && item->property("color").value<QColor>().alpha() == 255
                && within(m_windowRect, rect))
                m_cover = item;
        }
        for (QQuickItem* child : item->childItems())
            visit(child, context);
    }

    void checkText(QQuickItem* text, const Context& context)
    {
        const QString content = text->property("text").toString();
        if (content.trimmed().isEmpty())
            return;
        // The legends of the keyboard picture are printed on the keys in English.
        const bool legend = text->objectName() == QLatin1String("legend");
        const QRectF painted = paintedRect(text);
        if (painted.intersected(context.clip).isEmpty())
            return; // scrolled out of view
        static const QRegularExpression chinese(QStringLiteral("[\\x{3400}-\\x{9fff}\\x{ff01}-\\x{ff5e}]"));
        // The language switch names the other language in its own script.
        static const QSet<QString> languageNames = {QStringLiteral("中"), QStringLiteral("中文"),
                                                    QStringLiteral("简体中文")};
        if (!m_chinese && chinese.match(content).hasMatch() && !languageNames.contains(content.trimmed()))
            m_findings << "language: Chinese in the English window: " + describe(text, painted);
        if (m_chinese && !legend && m_untranslated.contains(content.trimmed()))
            m_findings << "language: English in the Chinese window: " + describe(text, painted);

        // Eliding and a line limit are the document's own choice of cutting.
        const int elideNone = 3;
        const bool elided = text->property("elide").toInt() != elideNone;
        const bool lineLimited = text->property("truncated").toBool() && !elided;
        if (!elided && !lineLimited) {
            if (text->property("contentWidth").toReal() > text->width() + kSlack)
                m_findings << "cut: wider than its box: " + describe(text, text->mapRectToScene(text->boundingRect()));
            else if (text->property("lineCount").toInt() > 1
                     && text->property("contentHeight").toReal() > text->height() + kSlack)
                m_findings << "cut: taller than its box: " + describe(text, text->mapRectToScene(text->boundingRect()));
        }
        if (!within(painted, context.hardClip))
            m_findings << "cut: clipped by its container: " + describe(text, painted);
        // Across a box's side: a line's height holds more than its letters, so only the sides count.
        else if (!context.box.isNull()
                 && (painted.left() < context.box.left() - kSlack || painted.right() > context.box.right() + kSlack))
            m_findings << "cut: runs past its box " + rectText(context.box) + ": " + describe(text, painted);
    }

    void checkOverlaps()
    {
        // Under a panel that covers the window only the panel and the popups above it can be reached.
        if (m_cover) {
            QList<Shown> reachable;
            for (const Shown& shown : m_controls) {
                if (shown.layer || m_cover->isAncestorOf(shown.item))
                    reachable.append(shown);
            }
            m_controls = reachable;
        }
        for (int i = 0; i < m_controls.size(); ++i) {
            for (int j = i + 1; j < m_controls.size(); ++j) {
                const Shown& a = m_controls.at(i);
                const Shown& b = m_controls.at(j);
                if (a.layer != b.layer || a.item->isAncestorOf(b.item) || b.item->isAncestorOf(a.item))
                    continue;
                const QRectF common = a.rect.intersected(b.rect);
                if (common.width() > 2 && common.height() > 2)
                    m_findings << "overlap: " + describe(a.item, a.rect) + " and " + describe(b.item, b.rect);
            }
        }
    }

    QQuickWindow* m_window;
    bool m_chinese;
    const QSet<QString>& m_untranslated;
    QRectF m_windowRect;
    QStringList m_findings;
    QList<Shown> m_controls;
    QQuickItem* m_cover = nullptr;
};

QObject* contextObject(const QString& name)
{
    return KAppManager::instance()->getUIManager()->getEngine()->rootContext()->contextProperty(name).value<QObject*>();
}

// What the audit compares to see that the window has come to rest: where every text and control is.
QString layoutSignature(QQuickItem* item)
{
    if (!item->isVisible())
        return {};
    QString signature;
    if (inherits(item, "QQuickText") || isControl(item))
        signature += rectText(item->mapRectToScene(QRectF(0, 0, item->width(), item->height())));
    for (QQuickItem* child : item->childItems())
        signature += layoutSignature(child);
    return signature;
}

// One start of the program at a language and scale: opens what the user can open and audits each.
class Tour
{
public:
    Tour(QQuickWindow* window, const QString& language, const QSet<QString>& untranslated)
        : m_window(window)
        , m_language(language)
        , m_untranslated(untranslated)
    {
    }

    QStringList findings() const { return m_findings; }

    void check(const QString& state)
    {
        settle();
        // What lies under a popup was audited with its page: each finding is told once, where first seen.
        for (const QString& finding : audit(m_window, m_language, m_untranslated)) {
            if (!m_seen.contains(finding))
                m_findings << state + ": " + finding;
            m_seen.insert(finding);
        }
    }

    void miss(const QString& what) { m_findings << "unreachable: " + what; }

    bool idle() const
    {
        return QTest::qWaitFor([this] { return !isShown(m_window, QStringLiteral("HLoadDialog_new")); }, 15000);
    }

    // Waits until no text or control moves any more (animations of pages and popups at their end).
    void settle() const
    {
        QQuickItem* root = m_window->contentItem();
        QString before = layoutSignature(root);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000) {
            QTest::qWait(120);
            const QString now = layoutSignature(root);
            if (now == before)
                return;
            before = now;
        }
    }

    // A click at the centre of where the item is drawn.
    bool click(QQuickItem* item)
    {
        if (!item || !item->isVisible())
            return false;
        idle();
        const QPointF at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(m_window, Qt::LeftButton, Qt::NoModifier, at.toPoint());
        return true;
    }

    QQuickItem* entry(int n) const
    {
        for (QQuickItem* item : findItems(findItem(m_window, QStringLiteral("navigationBar")), QString::number(n))) {
            if (item->property("mText").isValid())
                return item;
        }
        return nullptr;
    }

    QString shownPage() const
    {
        QQuickItem* area = findItem(m_window, QStringLiteral("pageArea"));
        for (QQuickItem* page : area ? area->childItems() : QList<QQuickItem*>()) {
            if (page->isVisible())
                return page->objectName();
        }
        return {};
    }

    void choosePickedDevice()
    {
        QObject* picker = findObject(m_window, QStringLiteral("selectEquipment"));
        if (!picker || !QTest::qWaitFor([&] { return picker->property("visible").toBool(); }, 4000))
            return;
        QQuickItem* first = nullptr;
        static_cast<void>(QTest::qWaitFor(
            [&] {
                for (QObject* object : quickTreeBelow(findItem(m_window, QStringLiteral("equipmentList")))) {
                    auto* item = qobject_cast<QQuickItem*>(object);
                    if (!first && item && item->objectName().startsWith(QLatin1String("equipment_"))
                        && item->isVisible())
                        first = item;
                }
                return first != nullptr;
            },
            4000));
        check(QStringLiteral("device picker"));
        if (!click(first) || !QTest::qWaitFor([&] { return !picker->property("visible").toBool(); }, 5000))
            miss(QStringLiteral("choosing a device in the picker"));
    }

    // A device whose settings match none of its profiles asks at once whether to keep them: audited, then kept.
    void answerStartQuestion()
    {
        QObject* question = findOfType(m_window, QStringLiteral("FSelectMouseConfig_new"));
        if (!question || !question->property("visible").toBool())
            return;
        check(QStringLiteral("question at start"));
        if (!click(findItem(m_window, QStringLiteral("retain")))
            || !QTest::qWaitFor([&] { return !question->property("visible").toBool(); }, 5000))
            miss(QStringLiteral("keeping the device's settings"));
        idle();
    }

    void visitPages()
    {
        for (int n = 1; n <= 9; ++n) {
            QQuickItem* button = entry(n);
            if (!button || !button->isVisible())
                continue;
            if (n == 9 && KAppModel::instance()->getToken().isEmpty()) {
                // The personal centre needs an account: signed in as the log-in popup does on success.
                KAppModel::instance()->setToken(QStringLiteral("audit"));
                KAppModel::instance()->setNickname(QStringLiteral("audit"));
            }
            click(button);
            if (!QTest::qWaitFor([&] { return entry(n)->property("checked").toBool(); }, 5000)) {
                miss("navigation entry " + QString::number(n));
                continue;
            }
            idle();
            const QString page = shownPage();
            check("page " + page);
            if (page == QLatin1String("pageKbSetting"))
                openDialogOfKey(QStringLiteral("kbDevicePanel"), QStringLiteral("key30"),
                                QStringLiteral("keySettingDialog"));
            else if (page == QLatin1String("pageParameter"))
                openDialogOfKey(QStringLiteral("msDevicePanel"), QStringLiteral("key1"),
                                QStringLiteral("mouseKeySettingDialog"));
            else if (page == QLatin1String("pageKbLight"))
                openDialogOfKey(QStringLiteral("kbDeviceLightPanel"), QStringLiteral("light30"),
                                contextObject("g_image")->property("deviceName").toString() == "Quenby-RGB"
                                    ? QStringLiteral("keyColorDialog")
                                    : QStringLiteral("keyLightDialog"));
            else if (page == QLatin1String("page1"))
                openProfileMenu();
        }
    }

    void openDialogOfKey(const QString& panelName, const QString& keyName, const QString& dialogName)
    {
        QQuickItem* panel = nullptr;
        for (QQuickItem* candidate : findItems(m_window, panelName)) {
            if (candidate->isVisible())
                panel = candidate;
        }
        QQuickItem* key = panel ? findItem(panel, keyName) : nullptr;
        // The dialog of the page shown: other pages have dialogs of the same name.
        QObject* dialog = findObject(findItem(m_window, shownPage()), dialogName);
        if (!click(key) || !dialog || !QTest::qWaitFor([&] { return dialog->property("visible").toBool(); }, 5000)) {
            miss("the dialog " + dialogName);
            return;
        }
        check("dialog " + dialogName);
        const bool ownClose = dialog->metaObject()->indexOfMethod("closeDialog()") >= 0;
        QMetaObject::invokeMethod(dialog, ownClose ? "closeDialog" : "close");
        static_cast<void>(QTest::qWaitFor([&] { return !dialog->property("visible").toBool(); }, 3000));
    }

    void openProfileMenu()
    {
        QQuickItem* button = findItem(m_window, QStringLiteral("configButton"));
        QObject* label = findObject(m_window, QStringLiteral("userLabel"));
        if (!click(button) || !QTest::qWaitFor([&] { return label->property("mIsSelect").toBool(); }, 3000)) {
            miss(QStringLiteral("the profile menu"));
            return;
        }
        check(QStringLiteral("profile menu"));
        label->setProperty("mIsSelect", false);
    }

    void openPopups()
    {
        for (int n : popupNumbers(m_window)) {
            QObject* popup = WindowTestSupport::popup(m_window, n);
            if (!popup || typeOf(popup) == QLatin1String("HMask"))
                continue;
            QMetaObject::invokeMethod(m_window, "mGeter", Q_ARG(QVariant, n));
            if (!QTest::qWaitFor([&] { return popup->property("visible").toBool(); }, 3000)) {
                miss("popup " + typeOf(popup));
                continue;
            }
            check("popup " + typeOf(popup));
            QMetaObject::invokeMethod(popup, "close");
            static_cast<void>(QTest::qWaitFor([&] { return !popup->property("visible").toBool(); }, 3000));
        }
        // The two full-window panels.
        for (int n : {3, 4}) {
            QMetaObject::invokeMethod(m_window, "showRectangle", Q_ARG(QVariant, n));
            QObject* panel = m_window->property("mRectangles").toList().value(n).value<QObject*>();
            if (!panel) {
                miss("panel " + QString::number(n));
                continue;
            }
            check("panel " + typeOf(panel));
            panel->setProperty("visible", false);
        }
        // The popups shown by their visibility.
        for (const QString& type : {QStringLiteral("FSelectMouseConfig_new"), QStringLiteral("HSelectEquipment"),
                                    QStringLiteral("FFirmwareRestore"), QStringLiteral("HSystemNotice"),
                                    QStringLiteral("FFirmwareSuccess"), QStringLiteral("HProgressBar_new")}) {
            QObject* popup = findOfType(m_window, type);
            if (!popup)
                continue;
            popup->setProperty("visible", true);
            check("popup " + type);
            if (popup->metaObject()->indexOfMethod("close()") >= 0)
                QMetaObject::invokeMethod(popup, "close");
            else
                popup->setProperty("visible", false);
            static_cast<void>(QTest::qWaitFor([&] { return !popup->property("visible").toBool(); }, 3000));
        }
    }

private:
    QQuickWindow* m_window;
    QString m_language;
    const QSet<QString>& m_untranslated;
    QStringList m_findings;
    QSet<QString> m_seen;
};

class AuditTest : public QObject
{
    Q_OBJECT

public:
    explicit AuditTest(QString devices)
        : m_devices(std::move(devices))
    {
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(setupSimulation(m_devices));
        useSimulatedModels(simulatedProductIds());
        m_untranslated = translatedTexts();
        QVERIFY(!m_untranslated.isEmpty());
    }

    void everyPageAndPopup_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<float>("scale");
        for (const char* language : {"en", "zh"}) {
            QTest::addRow("%s, scale 1", language) << QString::fromLatin1(language) << 1.0f;
            QTest::addRow("%s, scale 1.5", language) << QString::fromLatin1(language) << 1.5f;
        }
    }

    void everyPageAndPopup()
    {
        QFETCH(QString, language);
        QFETCH(float, scale);
        KConfigCommon::instance();
        KAppModel::instance()->setLanguage(language);
        KAppModel::instance()->setDisableUpdate(true);
        KAppModel::instance()->setToken(QString());
        KAppModel::instance()->setNickname(QString());
        KAppCommon::instance()->setScale(scale);
        LogCapture log;
        QQuickWindow* window = startMainWindow();
        QVERIFY(window);
        Tour tour(window, language, m_untranslated);
        tour.choosePickedDevice();
        QObject* controller = contextObject(QStringLiteral("g_deviceCtl"));
        QTRY_VERIFY_WITH_TIMEOUT(controller->property("online").toBool(), 15000);
        QVERIFY(tour.idle());
        tour.answerStartQuestion();
        tour.visitPages();
        tour.openPopups();
        const QStringList faults = stopProgram(log);
        QStringList findings = tour.findings();
        findings.removeDuplicates();
        // Listed on the standard error: the program's log handler keeps the log lines to itself.
        for (const QString& finding : findings)
            std::fprintf(stderr, "  %s\n", qPrintable(finding));
        QVERIFY2(findings.isEmpty(), qPrintable(QString::number(findings.size()) + " findings, listed above"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

private:
    QString m_devices;
    QSet<QString> m_untranslated;
};

} // namespace

QStringList audit(QQuickWindow* window, const QString& language, const QSet<QString>& untranslated)
{
    return Auditor(window, language, untranslated).run();
}

QSet<QString> translatedTexts()
{
    QFile file(QStringLiteral(":/trans/language_zh.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QSet<QString> texts;
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).object().value("trans").toArray();
    for (const QJsonValue& value : entries) {
        const QString key = value.toObject().value("key").toString();
        if (key != value.toObject().value("value").toString() && !key.trimmed().isEmpty())
            texts.insert(key.trimmed());
    }
    return texts;
}

int runTest(int argc, char** argv, const QString& devices)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    AuditTest test(devices);
    return QTest::qExec(&test, argc, argv);
}

} // namespace WindowAudit

#include "WindowAudit.moc"
