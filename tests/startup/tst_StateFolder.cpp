// The working folder of an installed client: the user's folder mirrors the shared program folder,
// keeps what the user changed, and a portable folder is used as it is.
#include "StateFolder.h"
#include "TestEnv.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_StateFolder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_program = m_dir->filePath("usr/lib/orvane");
        QVERIFY(QDir().mkpath(m_program + "/Skin/storeSuite"));
        QVERIFY(QDir().mkpath(m_program + "/Language/Language_en"));
        QVERIFY(TestEnv::writeFile(m_program + "/WndSplit.xml", "<split/>"));
        QVERIFY(QFile::setPermissions(m_program + "/WndSplit.xml", QFile::ReadOwner));
        qputenv("XDG_DATA_HOME", m_dir->filePath("home/data").toUtf8());
    }

    void installedFolderIsMirroredForTheUser()
    {
        QVERIFY(TestEnv::writeFile(m_program + '/' + StateFolder::kInstalledMarker, ""));
        const QString user = StateFolder::choose(m_program);
        QCOMPARE(user, m_dir->filePath("home/data/orvane"));

        QCOMPARE(QFileInfo(user + "/Skin").symLinkTarget(), m_program + "/Skin");
        QVERIFY(QFileInfo(user + "/Language/Language_en").isDir());
        QVERIFY(!QFileInfo::exists(user + "/Localcfg.ini")); // not shipped: not linked
        QVERIFY(!QFileInfo(user + "/WndSplit.xml").isSymLink());
        QVERIFY(QFileInfo(user + "/WndSplit.xml").isWritable());

        // The user's own changes survive the next start; a link to an old place is renewed.
        QVERIFY(TestEnv::writeFile(user + "/WndSplit.xml", "<mine/>"));
        QVERIFY(QFile::remove(user + "/Language"));
        QVERIFY(QDir().mkpath(user + "/Language/Language_xx"));
        QVERIFY(QFile::remove(user + "/Skin"));
        QVERIFY(QFile::link(m_dir->filePath("gone"), user + "/Skin"));
        QCOMPARE(StateFolder::choose(m_program), user);
        QCOMPARE(TestEnv::readFile(user + "/WndSplit.xml"), QByteArray("<mine/>"));
        QVERIFY(QFileInfo(user + "/Language/Language_xx").isDir());
        QCOMPARE(QFileInfo(user + "/Skin").symLinkTarget(), m_program + "/Skin");
    }

    // Not installed, or with no usable user folder, the program folder is used as it is.
    void programFolderWithoutAUserFolder()
    {
        QCOMPARE(StateFolder::choose(m_program), m_program);
        QVERIFY(!QFileInfo::exists(StateFolder::userFolder()));
        QVERIFY(TestEnv::writeFile(m_program + '/' + StateFolder::kInstalledMarker, ""));
        QVERIFY(TestEnv::writeFile(m_dir->filePath("blocked"), "a file where a folder must go"));
        qputenv("XDG_DATA_HOME", m_dir->filePath("blocked").toUtf8());
        QCOMPARE(StateFolder::choose(m_program), m_program);
    }
};

QTEST_GUILESS_MAIN(tst_StateFolder)
#include "tst_StateFolder.moc"
