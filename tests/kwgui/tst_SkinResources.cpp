#include "TestEnv.h"

#include <KWGui/KWFile.h>

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

const char kSuite[] = "/Skin/storeSuite/DustyBlue/";
const char kCss[] = "/Skin/DustyBlue/KWGUI/CSS/";

// Style sheet parse errors are only reported as warnings: collect them.
QStringList g_warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

// The warnings Qt gives while styling a widget with sheet.
QStringList styleWarnings(const QString &objectName, const QString &sheet)
{
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    {
        QWidget widget;
        widget.setObjectName(objectName);
        auto *child = new QPushButton("x", &widget);
        child->setObjectName("btnFinished");
        widget.setStyleSheet(sheet);
        widget.ensurePolished();
        child->ensurePolished();
    }
    qInstallMessageHandler(previous);
    return g_warnings;
}

struct TsEntry
{
    QString context;
    QString source;
    QString translation;
    bool finished = true;
};

QList<TsEntry> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<TsEntry> entries;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            entries.append({context, {}, {}, true});
        else if (xml.name() == QLatin1String("source"))
            entries.last().source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            // Vanished entries (no longer in the code) keep their translation; only new ones
            // are unfinished.
            entries.last().finished = xml.attributes().value("type") != QLatin1String("unfinished");
            entries.last().translation = xml.readElementText();
        }
    }
    return xml.hasError() ? QList<TsEntry>() : entries;
}

QStringList placeholders(const QString &text)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression("%\\d").globalMatch(text);
    while (it.hasNext())
        found << it.next().captured();
    found.sort();
    return found;
}

} // namespace

class tst_SkinResources : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(TestEnv::writeFile(m_dir.filePath("a.css"), "A{}\n"));
        QVERIFY(TestEnv::writeFile(m_dir.filePath("b.css"), "B{}"));
        QVERIFY(TestEnv::writeFile(m_dir.filePath("empty.css"), ""));
        QVERIFY(QDir(m_dir.path()).mkdir("folder.css"));
    }

    // The reader of style files joins the readable ones in the given order.
    void styleFilesAreJoined()
    {
        const QString dir = m_dir.path();
        const struct
        {
            QStringList names;
            QString folder;
            QByteArray expected;
        } rows[] = {{{"b.css", "a.css"}, dir, "B{}A{}\n"},
                    {{"b.css"}, dir + "/", "B{}"}, // the style folder ends in a slash
                    {{m_dir.filePath("a.css")}, "/nowhere", "A{}\n"},
                    {{}, dir, ""},
                    {{"a.css", "missing.css", "folder.css", "empty.css", "b.css"}, dir, "A{}\nB{}"},
                    {{"a.css"}, dir + "/none", ""}};
        for (const auto &row : rows)
            QCOMPARE(KWGUI::KWFile::ReadAll(row.names, row.folder), row.expected);
    }

    // Every picture of the program folder decodes, every frame of an animation too: this is
    // where a fault of the picture writers of the build would show.
    void picturesOfTheProgramFolderLoad()
    {
        QDirIterator it(TestEnv::buildBinDir() + "/Skin", {"*.png", "*.gif", "*.ico"}, QDir::Files,
                        QDirIterator::Subdirectories);
        int pictures = 0;
        for (; it.hasNext(); ++pictures) {
            QImageReader reader(it.next());
            const int frames = reader.imageCount();
            QVERIFY2(frames >= 1, qPrintable(it.filePath()));
            // A GIF moves on by reading, an icon by the jump.
            for (int i = 0; i < frames; ++i, reader.jumpToNextImage())
                QVERIFY2(!reader.read().isNull(),
                         qPrintable(QString("%1 frame %2").arg(it.filePath()).arg(i)));
        }
        QVERIFY(pictures > 10);
    }

    void styleSheetsParse()
    {
        // The check itself must notice a broken sheet.
        QVERIFY(!styleWarnings("Probe", "#Probe { color: red; ").isEmpty());

        const QString suite = TestEnv::buildBinDir() + kSuite;
        for (const char *name :
             {"WebBlackWidget", "QTopToolBar", "QVideoFrame", "QCommonExportDlg"}) {
            const QByteArray sheet = KWGUI::KWFile::ReadAll({QString(name) + ".qss"}, suite);
            QVERIFY2(sheet.contains(QByteArray("#") + name), name);
            const QStringList warnings = styleWarnings(name, QString::fromUtf8(sheet));
            // QVideoFrame sets properties a plain widget lacks; only parse errors matter here.
            QVERIFY2(warnings.filter("parse").isEmpty(), qPrintable(warnings.join('\n')));
        }

        const QString css = TestEnv::buildBinDir() + kCss;
        const QStringList cssFiles = QDir(css).entryList({"*.css"}, QDir::Files, QDir::Name);
        QCOMPARE(cssFiles, (QStringList {"Base.css", "KWGui.css"}));
        const QString application = QString::fromUtf8(KWGUI::KWFile::ReadAll(cssFiles, css));
        const QStringList warnings = styleWarnings("KWMessageNotifyToast", application);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void translationSourcesAgreeAndAreComplete_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("client") << "Orvane";
        QTest::newRow("widget library") << "KWMessageNotify";
    }

    void translationSourcesAgreeAndAreComplete()
    {
        QFETCH(QString, name);
        const QString ts = TestEnv::sourceDir() + "/translations/" + name + "_%1.ts";
        const QList<TsEntry> zh = readTs(ts.arg("zh"));
        const QList<TsEntry> en = readTs(ts.arg("en"));
        QVERIFY(!zh.isEmpty());
        // The build compiled them, and every file loads.
        const QString qm = TestEnv::buildBinDir() + "/Language/Language_%1/" + name + "_%1.qm";
        for (const char *code : {"zh", "en"}) {
            QTranslator translator;
            QVERIFY2(translator.load(qm.arg(code)) && !translator.isEmpty(), code);
        }
        QCOMPARE(zh.size(), en.size());
        for (int i = 0; i < zh.size(); ++i) {
            const QString where = zh.at(i).context + " / " + zh.at(i).source;
            QCOMPARE(en.at(i).context + " / " + en.at(i).source, where);
            for (const TsEntry &entry : {zh.at(i), en.at(i)}) {
                QVERIFY2(entry.finished && !entry.translation.isEmpty(), qPrintable(where));
                const QStringList wanted = entry.source == "CertificateNotTrustedDetail"
                    ? QStringList {"%1", "%2"}
                    : placeholders(entry.source);
                QVERIFY2(placeholders(entry.translation) == wanted, qPrintable(where));
            }
        }
    }
};

QTEST_MAIN(tst_SkinResources)
#include "tst_SkinResources.moc"
