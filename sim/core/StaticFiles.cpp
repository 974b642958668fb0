#include "StaticFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

StaticFiles::StaticFiles(const QString &folder)
    : m_folder(folder.isEmpty() ? QString() : QFileInfo(folder).absoluteFilePath())
{ }

SimReply StaticFiles::serve(const SimRequest &request) const
{
    if (request.method != "GET" && request.method != "HEAD")
        return SimReply::refusal(404, QString("no route %1 %2").arg(request.method, request.path));
    if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        return SimReply::refusal(
            404, QString("the web application folder \"%1\" does not exist").arg(m_folder));
    const QString relative = request.path == "/" ? QString("index.html") : request.path.mid(1);
    const QString wanted = QDir::cleanPath(m_folder + "/" + relative);
    const QFileInfo info(wanted);
    // Only files inside the folder, whatever ".." or links the path holds.
    if (!info.canonicalFilePath().startsWith(m_folder + "/") || !info.isFile())
        return SimReply::refusal(404,
                                 QString("no file %1 in the web application").arg(request.path));
    QFile file(info.canonicalFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return SimReply::refusal(
            403, QString("cannot read %1: %2").arg(request.path, file.errorString()));
    SimReply reply;
    reply.contentType = contentType(info.fileName());
    reply.body = file.readAll();
    return reply;
}

QByteArray StaticFiles::contentType(const QString &fileName)
{
    static const QHash<QString, QByteArray> types = {
        {"html", "text/html;charset=utf-8"},
        {"htm", "text/html;charset=utf-8"},
        {"js", "text/javascript;charset=utf-8"},
        {"mjs", "text/javascript;charset=utf-8"},
        {"css", "text/css;charset=utf-8"},
        {"json", "application/json;charset=utf-8"},
        {"map", "application/json;charset=utf-8"},
        {"txt", "text/plain;charset=utf-8"},
        {"svg", "image/svg+xml"},
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},
        {"ico", "image/x-icon"},
        {"woff", "font/woff"},
        {"woff2", "font/woff2"},
        {"ttf", "font/ttf"},
    };
    return types.value(QFileInfo(fileName).suffix().toLower(), "application/octet-stream");
}
