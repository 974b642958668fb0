#include <KWGui/KWGlobal.h>

#include <QReadLocker>
#include <QReadWriteLock>
#include <QWriteLocker>

namespace KWGUI {

namespace {

// The three values are set at start-up on the GUI thread but may be read from any thread.
struct GlobalState
{
    QReadWriteLock lock;
    QString language;
    QString skin;
    QString programType;
};

GlobalState &state()
{
    static GlobalState s;
    return s;
}

void write(QString GlobalState::*field, const QString &value)
{
    GlobalState &s = state();
    QWriteLocker locker(&s.lock);
    s.*field = value;
}

QString read(QString GlobalState::*field)
{
    GlobalState &s = state();
    QReadLocker locker(&s.lock);
    return s.*field;
}

} // namespace

void SetLanguage(const QString &language)
{
    write(&GlobalState::language, language);
}

QString GetLanguage()
{
    return read(&GlobalState::language);
}

void SetSkinVersion(const QString &skin)
{
    write(&GlobalState::skin, skin);
}

QString GetSkinVersion()
{
    return read(&GlobalState::skin);
}

void SetProgramType(const QString &type)
{
    write(&GlobalState::programType, type);
}

QString GetProgramType()
{
    return read(&GlobalState::programType);
}

} // namespace KWGUI
