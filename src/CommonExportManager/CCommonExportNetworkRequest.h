#pragma once

#include "Common/CNetWorkListener.h"
#include "CommonExportManager/CExportFile.h"
#include "CommonExportManager/networkParams_t.h"

#include <QObject>

namespace Common {
class CNetWork;
}

// Downloads one export from the platform's gateway into the chosen folder: GET or POST by the
// export's request type; the reply's "size", "name" and "isBase64" headers say how big the file
// is, what it is called and whether it arrives as Base64 inside a JSON envelope. Reports
// progress in percent, the end, or the failure. One download at a time; GUI thread only.
class CCommonExportNetworkRequest : public QObject, public Common::CNetWorkListener
{
    Q_OBJECT

public:
    explicit CCommonExportNetworkRequest(QObject *parent = nullptr);
    ~CCommonExportNetworkRequest() override;

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

    // The file written by the last finished download.
    QString SavedFile() const { return m_file.Target(); }

    // Most reply bytes waiting to be written: the download's memory stays flat.
    static constexpr qint64 kReadBufferBytes = 1024 * 1024;
    // A Base64 reply larger than this is refused rather than held in memory.
    static constexpr qint64 kMaxBase64Bytes = 256 * 1024 * 1024;

signals:
    void sgnExportFinished();
    // Transport failures, Base64 replies that say no, and cancellations (Qt's code 5).
    void sgnNetworkError(int code, QString message);
    // The file could not be written, or the export cannot be sent.
    void sgnExportError(int code, QString message);
    // Percent received, only when the reply announced its size.
    void sgnExportProgress(qint64 progress);

public slots:
    // Starts the download of params (any earlier one is forgotten).
    void onExportNetworkRequest(networkParams_t params);
    // Stops the download and deletes what was written; reported as Qt's cancellation error.
    void onCancleExport();

private:
    enum class State { Idle, Waiting, Receiving, Cancelling, Ended };

    bool send();
    void openTarget(const QList<QNetworkReply::RawHeaderPair> &headers);
    void receive(const QByteArray &data);
    bool writeBase64Envelope();
    void finishFile();
    // Ends the download with an error of our own: the file is deleted, the request stopped.
    void failExport(const QString &message, const QString &logLine);
    void failBase64(const QString &message);
    void resetProgress();

    Common::CNetWork *m_netWork;
    networkParams_t m_params;
    CExportFile m_file;
    QByteArray m_text; // a Base64 reply, decoded once complete
    bool m_firstData = true;
    qint64 m_received = 0;
    State m_state = State::Idle;
};
