#include <kwl/KPrintLog.h>

#include <QtTest>

#include <thread>
#include <unistd.h>
#include <vector>

namespace {

QStringList readLines(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
        : QStringList();
}

} // namespace

class tst_KPrintLog : public QObject
{
    Q_OBJECT

private slots:
    void writesOneCompleteLinePerCall()
    {
        const QString path = QDir::currentPath() + "/log/deeper/09-05-33";
        KPrintLog *log = KPrintLog::instance();
        QVERIFY(log->SetFile(path.toLocal8Bit().constData())); // folders created on the way
        log->Log("Common/CNetWork", 42, "Common::CNetWork::onSSLErrors", "", 6,
                 "onSSLError %s:%d\n", "https://x", 7);
        log->Log("main", 1, "main", "ui", 4, "%s", "plain");
        const std::string longText(5000, 'x'); // long messages are not cut
        log->Log("f", 1, "g", "", 42, "%s", longText.c_str());
        QVERIFY(log->SetFile(""));
        log->Log("f", 1, "g", "", 4, "after close");

        const QStringList lines = readLines(path);
        QCOMPARE(lines.size(), 3);
        const QRegularExpression shape(
            R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} ERROR \[tid \d+\] )"
            R"(Common/CNetWork:42 Common::CNetWork::onSSLErrors: onSSLError https://x:7$)");
        QVERIFY2(shape.match(lines[0]).hasMatch(), qPrintable(lines[0]));
        QVERIFY2(lines[1].endsWith(" INFO [tid " + QString::number(gettid())
                                   + "] (ui) main:1 main: plain"),
                 qPrintable(lines[1]));
        QVERIFY(lines[2].endsWith(" L42 [tid " + QString::number(gettid())
                                  + "] f:1 g: " + QString::fromStdString(longText)));

        // A folder cannot be created where a file stands: refused, and logging goes on.
        QVERIFY(!log->SetFile((path + "/sub/log").toLocal8Bit().constData()));
        QVERIFY(log->FilePath().empty());
        log->Log("f", 1, "g", "", 6, "still fine");
    }

    void linesFromManyThreadsNeverInterleave()
    {
        const QString path = QDir::currentPath() + "/threads.log";
        KPrintLog *log = KPrintLog::instance();
        QVERIFY(log->SetFile(path.toLocal8Bit().constData()));
        constexpr int kThreads = 8;
        constexpr int kLines = 400;
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([log, t] {
                const std::string payload(200, static_cast<char>('a' + t));
                for (int i = 0; i < kLines; ++i)
                    log->Log("f", t, "g", "", 4, "%d:%d:%s|", t, i, payload.c_str());
            });
        for (std::thread &t : threads)
            t.join();
        log->SetFile("");

        const QStringList lines = readLines(path);
        QCOMPARE(lines.size(), kThreads * kLines);
        const QRegularExpression whole(R"(g: (\d+):(\d+):([a-z])\3{199}\|$)");
        std::vector<int> next(kThreads, 0);
        for (const QString &line : lines) {
            const QRegularExpressionMatch m = whole.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            const int t = m.captured(1).toInt();
            QCOMPARE(m.captured(3).at(0).toLatin1(), char('a' + t));
            QCOMPARE(m.captured(2).toInt(), next[t]++); // per thread in call order
        }
    }
};

QTEST_GUILESS_MAIN(tst_KPrintLog)
#include "tst_KPrintLog.moc"
