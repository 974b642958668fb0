// skin-gen: draws the skin's pictures from their sources at build time.
//   skin-gen ico     SOURCE.svg OUT.ico
//   skin-gen png     SOURCE.svg OUT.png WIDTH HEIGHT
//   skin-gen spinner OUT.gif SIZE BACKGROUND COLOUR
#include "GifWriter.h"
#include "IcoWriter.h"
#include "Spinner.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

const int kIconSizes[] = {16, 24, 32, 48, 64, 128};

int fail(const QString &message)
{
    std::fprintf(stderr, "skin-gen: %s\n", qUtf8Printable(message));
    return 1;
}

bool render(const QString &svg, QSize size, QImage *image)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return false;
    *image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image->fill(Qt::transparent);
    QPainter painter(image);
    renderer.render(&painter);
    return true;
}

bool save(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

int makeIcon(const QString &svg, const QString &out)
{
    QList<QImage> images;
    for (int size : kIconSizes) {
        QImage image;
        if (!render(svg, QSize(size, size), &image))
            return fail("cannot read " + svg);
        images.append(image);
    }
    return save(out, IcoWriter::write(images)) ? 0 : fail("cannot write " + out);
}

int makePng(const QString &svg, const QString &out, int width, int height)
{
    QImage image;
    if (width <= 0 || height <= 0)
        return fail("bad size");
    if (!render(svg, QSize(width, height), &image))
        return fail("cannot read " + svg);
    return image.save(out, "PNG") ? 0 : fail("cannot write " + out);
}

int makeSpinner(const QString &out, int size, const QColor &background, const QColor &colour)
{
    if (size <= 0 || !background.isValid() || !colour.isValid())
        return fail("bad spinner size or colour");
    const Spinner spinner(size, background, colour);
    GifWriter gif(QSize(size, size), spinner.palette());
    for (int i = 0; i < Spinner::kFrames; ++i)
        gif.addFrame(spinner.frame(i), Spinner::kFrameMs);
    return save(out, gif.finish()) ? 0 : fail("cannot write " + out);
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures are painted into images: no screen needed.
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == "ico" && args.size() == 3)
        return makeIcon(args.at(1), args.at(2));
    if (command == "png" && args.size() == 5)
        return makePng(args.at(1), args.at(2), args.at(3).toInt(), args.at(4).toInt());
    if (command == "spinner" && args.size() == 5)
        return makeSpinner(args.at(1), args.at(2).toInt(), QColor(args.at(3)), QColor(args.at(4)));
    return fail("usage: ico SVG OUT | png SVG OUT W H | spinner OUT SIZE BACKGROUND COLOUR");
}
