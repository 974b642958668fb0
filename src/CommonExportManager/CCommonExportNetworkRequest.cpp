#include "CommonExportManager/CCommonExportNetworkRequest.h"

#include "Common/CNetWork.h"
#include "CommonExportManager/CExportFileName.h"
#include "CommonExportManager/CExportReply.h"
#include "ConfigInfo/CLocalCfg.h"

#include <kwl/KPrintLog.h>

namespace {

// What Qt reports for an aborted reply; a cancel that found no reply in flight says the same.
constexpr int kCancelledCode = QNetworkReply::OperationCanceledError;

} // namespace

CCommonExportNetworkRequest::CCommonExportNetworkRequest(QObject *parent)
    : QObject(parent)
    , m_netWork(new Common::CNetWork(QString()))
{
    m_netWork->setParent(this);
    m_netWork->setListener(this);
    m_netWork->setReadBufferSize(kReadBufferBytes);
}

CCommonExportNetworkRequest::~CCommonExportNetworkRequest()
{
    m_netWork->clearListener();
}

void CCommonExportNetworkRequest::onExportNetworkRequest(networkParams_t params)
{
    m_params = params;
    m_file.Keep();
    resetProgress();
    m_text.clear();
    m_state = State::Waiting;
    const QString url = ConfigInfo::CLocalCfg::Instance().GetPlatformUrl() + m_params.requestUrl;
    m_netWork->setUrl(url);
    m_netWork->setContentType("application/json;charset=utf-8");
    m_netWork->setAcceptLanguage("zh-CN");
    m_netWork->setTimeOffset(Common::CNetWork::localTimeOffset());
    m_netWork->setToken(m_params.token);
    if (!send())
        failExport("Export request type not supported!",
                   "CCommonExportNetworkRequest requestType not supported: "
                       + m_params.requestType);
}

bool CCommonExportNetworkRequest::send()
{
    const QString &type = m_params.requestType;
    if (type == "GET" || type == "get")
        m_netWork->get();
    else if (type == "POST" || type == "post")
        m_netWork->post(m_params.requestParams);
    else
        return false;
    return true;
}

void CCommonExportNetworkRequest::onNetWorkRawHeaderCallBack(
    const QList<QNetworkReply::RawHeaderPair> &headers, const QString &)
{
    if (m_firstData && m_state == State::Waiting)
        openTarget(headers);
}

void CCommonExportNetworkRequest::openTarget(const QList<QNetworkReply::RawHeaderPair> &headers)
{
    CExportReply::ApplyHeaders(headers, m_params);
    const QString name = CExportFileName::SafeName(m_params.name, tr("NoName"));
    const QString target = CExportFileName::UniquePath(m_params.savePath + "/" + name);
    m_firstData = false;
    m_state = State::Receiving;
    if (!m_file.Open(target))
        failExport("Export filepath open fail!", "CCommonExportNetworkRequest openFile fail");
}

void CCommonExportNetworkRequest::onNetWorkReadyRead(const QByteArray &data, const QString &)
{
    if (m_state == State::Receiving)
        receive(data);
}

void CCommonExportNetworkRequest::receive(const QByteArray &data)
{
    m_received += data.size();
    if (m_params.isBase64) {
        if (m_text.size() + data.size() > kMaxBase64Bytes)
            return failBase64("data from server error");
        m_text.append(data);
    } else if (!m_file.Write(data)) {
        return failExport("Export file write fail!",
                          "CCommonExportNetworkRequest writeFile fail: " + m_file.ErrorText());
    }
    if (m_params.size != 0)
        emit sgnExportProgress(m_received * 100 / m_params.size);
}

void CCommonExportNetworkRequest::onNetWorkFinished(const QString &)
{
    if (m_state == State::Waiting)
        openTarget({}); // an empty reply still makes its (empty) file
    if (m_state != State::Receiving)
        return;
    if (m_params.isBase64 && !writeBase64Envelope())
        return;
    finishFile();
}

bool CCommonExportNetworkRequest::writeBase64Envelope()
{
    QByteArray content;
    QString error;
    const bool decoded = CExportReply::DecodeBase64Envelope(m_text, &content, &error);
    m_text.clear();
    if (!decoded) {
        failBase64(error);
        return false;
    }
    if (!m_file.Write(content)) {
        failExport("Export file write fail!",
                   "CCommonExportNetworkRequest writeFile fail: " + m_file.ErrorText());
        return false;
    }
    return true;
}

void CCommonExportNetworkRequest::finishFile()
{
    m_state = State::Ended;
    resetProgress();
    if (!m_file.Commit()) {
        KLOG(KPrintLog::Error, "CCommonExportNetworkRequest saveFile fail: %s",
             qUtf8Printable(m_file.ErrorText()));
        m_file.Discard();
        emit sgnExportError(-1, "Export file write fail!");
        return;
    }
    KLOG(KPrintLog::Info, "CCommonExportNetworkRequest saved %s", qUtf8Printable(m_file.Target()));
    emit sgnExportFinished();
}

void CCommonExportNetworkRequest::onNetWorkError(int code, const QString &message, const QString &)
{
    if (m_state == State::Ended || m_state == State::Idle)
        return;
    // A cancel deletes what was written; any other failure leaves it under the temporary name.
    if (m_state == State::Cancelling)
        m_file.Discard();
    else
        m_file.Keep();
    m_state = State::Ended;
    resetProgress();
    emit sgnNetworkError(code, message);
}

void CCommonExportNetworkRequest::onCancleExport()
{
    if (m_state != State::Waiting && m_state != State::Receiving)
        return;
    m_state = State::Cancelling;
    m_netWork->abortRequest();
    // A reply that had already ended reports nothing: the cancel still ends the export.
    if (m_state == State::Cancelling)
        onNetWorkError(kCancelledCode, "Operation canceled", QString());
}

void CCommonExportNetworkRequest::failExport(const QString &message, const QString &logLine)
{
    KLOG(KPrintLog::Error, "%s", qUtf8Printable(logLine));
    m_state = State::Ended;
    m_file.Discard();
    resetProgress();
    m_netWork->abortRequest();
    emit sgnExportError(-1, message);
}

void CCommonExportNetworkRequest::failBase64(const QString &message)
{
    m_state = State::Ended;
    m_file.Keep();
    resetProgress();
    m_netWork->abortRequest();
    emit sgnNetworkError(-1, message);
}

void CCommonExportNetworkRequest::resetProgress()
{
    m_received = 0;
    m_firstData = true;
}
