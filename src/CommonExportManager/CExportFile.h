#pragma once

#include <QFile>
#include <QString>

// One exported file being written. The bytes go to a temporary file beside the target
// ("<target>.part", numbered when taken), which takes the target's name only once it is
// complete, so a crash or a failed download never leaves a half file under the final name.
class CExportFile
{
public:
    CExportFile() = default;
    ~CExportFile();
    CExportFile(const CExportFile &) = delete;
    CExportFile &operator=(const CExportFile &) = delete;

    // Opens the temporary file for target (an unused path); false and the reason on failure.
    bool Open(const QString &target);
    bool IsOpen() const { return m_file.isOpen(); }
    // Writes all of data; false (and ErrorText) when the disk refused some of it.
    bool Write(const QByteArray &data);
    // Closes the complete file and gives it its final name (numbered again if the name was
    // taken meanwhile); false and the reason when that fails, the data then stays in the
    // temporary file.
    bool Commit();
    // Closes the file and leaves what was received under the temporary name.
    void Keep();
    // Closes and deletes the temporary file.
    void Discard();

    // The final path, once committed.
    QString Target() const { return m_target; }
    QString TemporaryPath() const { return m_file.fileName(); }
    QString ErrorText() const { return m_error; }

private:
    QFile m_file;
    QString m_target;
    QString m_error;
};
