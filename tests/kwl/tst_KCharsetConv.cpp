#include <kwl/KCharsetConv.h>

#include <QtTest>

#include <cstring>

class tst_KCharsetConv : public QObject
{
    Q_OBJECT

private slots:
    void convertsUtf8AndReplacesWhatIsBroken_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QString>("expected");
        const QString r(QChar(0xFFFD));
        const char *valid = u8"Caméra 1 · 门口 · \U0001F4F7";
        QTest::newRow("valid") << QByteArray(valid) << QString::fromUtf8(valid);
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("stray continuation") << QByteArray("a\x80z") << "a" + r + "z";
        QTest::newRow("truncated at end") << QByteArray("ab\xE4\xB8") << "ab" + r + r;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF!") << r + r + "!";
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << r + r + r;
        QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << r + r + r + r;
        QTest::newRow("invalid lead byte") << QByteArray("\xFFok") << r + "ok";
    }

    void convertsUtf8AndReplacesWhatIsBroken()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(QString, expected);
        const std::u16string wide = KCharsetConv::Utf8ToUtf16(utf8.toStdString());
        QCOMPARE(QString::fromStdU16String(wide), expected);
        QCOMPARE(KCharsetConv::Utf16ToUtf8(wide), expected.toStdString()); // and back
    }

    void brokenUtf16IsReplaced()
    {
        const std::string r = "\xEF\xBF\xBD";
        const std::u16string loneHigh {u'a', char16_t(0xD83D), u'b'};
        const std::u16string loneLow {char16_t(0xDC37), u'c'};
        QCOMPARE(KCharsetConv::Utf16ToUtf8(loneHigh), "a" + r + "b");
        QCOMPARE(KCharsetConv::Utf16ToUtf8(loneLow), r + "c");

        // A dangling odd byte at the end of UTF-16 input is one replacement, not an over-read.
        KCharsetConv conv;
        QCOMPARE(conv.SetCodePage(2, 1), 0);
        const char16_t units[] = {u'x', u'y'};
        char out[16];
        QCOMPARE(conv.Convert(units, 3, out, sizeof out), 4);
        QCOMPARE(std::string(out, 4), std::string("x\xEF\xBF\xBD"));
    }

    void neverReadsOrWritesOutOfBounds()
    {
        KCharsetConv conv;
        char16_t out[8];
        QCOMPARE(conv.Convert("abc", 3, out, sizeof out), -1); // no code pages chosen yet
        QCOMPARE(conv.SetCodePage(1, 9), -1);
        QCOMPARE(conv.SetCodePage(1, 2), 0);

        // Input in a heap block of exactly its size: a read past it is an address-sanitizer error.
        const std::string text = "\xE4\xB8\xAD\xF0\x9F\x93\xB7";
        std::unique_ptr<char[]> exact(new char[text.size()]);
        std::memcpy(exact.get(), text.data(), text.size());
        for (size_t cut = 0; cut <= text.size(); ++cut) {
            const int written = conv.Convert(exact.get(), static_cast<int>(cut), out, sizeof out);
            QVERIFY(written >= 0 && written % 2 == 0);
        }

        // Output stops at the last whole character that fits: the surrogate pair needs 4 bytes.
        char16_t guard[4] = {0x1111, 0x1111, 0x1111, 0x1111};
        QCOMPARE(conv.Convert(text.data(), static_cast<int>(text.size()), guard, 4), 2);
        QCOMPARE(guard[0], char16_t(0x4E2D));
        QCOMPARE(guard[1], char16_t(0x1111));
        QCOMPARE(conv.Convert(text.data(), static_cast<int>(text.size()), guard, 6), 6);
        QCOMPARE(guard[3], char16_t(0x1111));
        QCOMPARE(conv.Convert(nullptr, 5, out, sizeof out), 0);
    }
};

QTEST_GUILESS_MAIN(tst_KCharsetConv)
#include "tst_KCharsetConv.moc"
