#include "CommonExportManager/CExportFile.h"

#include "CommonExportManager/CExportFileName.h"

CExportFile::~CExportFile()
{
    Keep();
}

bool CExportFile::Open(const QString &target)
{
    Keep();
    m_target = target;
    m_error.clear();
    m_file.setFileName(CExportFileName::UniquePath(target + ".part"));
    if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    m_error = m_file.errorString();
    return false;
}

bool CExportFile::Write(const QByteArray &data)
{
    if (m_file.write(data) == data.size())
        return true;
    m_error = m_file.errorString();
    return false;
}

bool CExportFile::Commit()
{
    // flush() reports what write() buffered and the disk then refused.
    if (!m_file.flush()) {
        m_error = m_file.errorString();
        return false;
    }
    m_file.close();
    m_target = CExportFileName::UniquePath(m_target);
    if (m_file.rename(m_target)) {
        m_file.setFileName(QString()); // the file is the target's now: nothing left to discard
        return true;
    }
    m_error = m_file.errorString();
    return false;
}

void CExportFile::Keep()
{
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}

void CExportFile::Discard()
{
    Keep();
    if (!m_file.fileName().isEmpty())
        m_file.remove();
}
