#include <GifWriter.h>
#include <IcoWriter.h>

#include <QImageReader>
#include <QtTest>

namespace {

QVector<QRgb> randomPalette(QRandomGenerator &random)
{
    QVector<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette << (random.generate() | 0xff000000u);
    return palette;
}

QImage randomFrame(QSize size, const QVector<QRgb> &palette, QRandomGenerator &random, int distinct)
{
    QImage frame(size, QImage::Format_Indexed8);
    frame.setColorTable(palette);
    for (int y = 0; y < size.height(); ++y) {
        uchar *row = frame.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            row[x] = uchar(random.bounded(distinct));
    }
    return frame;
}

// Decodes every frame with Qt's own GIF reader and compares it pixel by pixel; the animation
// loops for ever with the given delay.
void verifyDecodes(const QByteArray &gif, const QList<QImage> &frames, int delay)
{
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), frames.size());
    QCOMPARE(reader.loopCount(), -1);
    for (int i = 0; i < frames.size(); ++i) {
        const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!decoded.isNull(),
                 qPrintable(QString("frame %1: %2").arg(i).arg(reader.errorString())));
        QCOMPARE(reader.nextImageDelay(), delay);
        QVERIFY2(decoded == frames.at(i).convertToFormat(QImage::Format_ARGB32),
                 qPrintable(QString("frame %1 differs").arg(i)));
    }
    QVERIFY(reader.read().isNull()); // and nothing after them
}

} // namespace

class tst_SkinGenWriters : public QObject
{
    Q_OBJECT

private slots:
    void gifFramesDecodeExactly_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("distinct");
        QTest::newRow("one pixel") << QSize(1, 1) << 1 << 256;
        QTest::newRow("flat") << QSize(64, 64) << 2 << 1; // long runs, deep codes
        QTest::newRow("few shades") << QSize(96, 96) << 3 << 4;
        // Noise fills the 4096-entry table many times: the table restarts mid-frame.
        QTest::newRow("noise") << QSize(200, 150) << 2 << 256;
    }

    void gifFramesDecodeExactly()
    {
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(int, distinct);
        QRandomGenerator random(42);
        const QVector<QRgb> palette = randomPalette(random);
        GifWriter writer(size, palette);
        QList<QImage> images;
        for (int i = 0; i < frames; ++i) {
            images << randomFrame(size, palette, random, distinct);
            writer.addFrame(images.last(), 80);
        }
        const QByteArray gif = writer.finish();
        QVERIFY(gif.startsWith("GIF89a"));
        verifyDecodes(gif, images, 80);
    }

    void gifCodeWidthHoldsAtEveryStreamLength()
    {
        // Each extra pixel of noise adds about one code, so these lengths end the stream at every
        // table size up to past 2048, on both sides of each change of the code width.
        QRandomGenerator random(7);
        const QVector<QRgb> palette = randomPalette(random);
        for (int width = 1; width <= 2600; ++width) {
            const QImage frame = randomFrame(QSize(width, 1), palette, random, 256);
            GifWriter writer(frame.size(), palette);
            writer.addFrame(frame, 80);
            verifyDecodes(writer.finish(), {frame}, 80);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QString("width %1").arg(width)));
        }
    }

    void gifConvertsTrueColourFramesToThePalette()
    {
        const QVector<QRgb> palette {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(200, 20, 20)};
        QImage frame(10, 10, QImage::Format_RGB32);
        frame.fill(qRgb(250, 250, 250)); // nearest: white
        frame.setPixel(3, 4, qRgb(190, 30, 25)); // nearest: red
        GifWriter writer(frame.size(), palette);
        writer.addFrame(frame, 100);
        QImage expected(10, 10, QImage::Format_RGB32);
        expected.fill(qRgb(255, 255, 255));
        expected.setPixel(3, 4, qRgb(200, 20, 20));
        verifyDecodes(writer.finish(), {expected}, 100);
    }

    void icoHoldsEverySizeWithItsAlpha()
    {
        QList<QImage> images;
        for (int size : {16, 32, 48, 256}) {
            QImage image(size, size, QImage::Format_ARGB32);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    image.setPixel(x, y,
                                   qRgba(size - 1, x * 255 / size, y * 255 / size, (x + y) % 256));
            images << image;
        }
        QBuffer buffer;
        buffer.setData(IcoWriter::write(images));
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), images.size());
        for (int i = 0; i < images.size(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage decoded = reader.read();
            QCOMPARE(decoded.size(), images.at(i).size());
            // Compared premultiplied: a reader may drop the colour of fully clear pixels.
            const auto premultiplied = [](const QImage &image) {
                return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            };
            QVERIFY2(premultiplied(decoded) == premultiplied(images.at(i)),
                     qPrintable(QString("size %1").arg(images.at(i).width())));
        }
    }
};

QTEST_GUILESS_MAIN(tst_SkinGenWriters)
#include "tst_SkinGenWriters.moc"
