#include "test_environment.h"

#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

TestEnvironment::TestEnvironment()
    : m_root(QDir::tempPath() + "/quorlin-test-XXXXXX")
{
    Q_ASSERT(m_root.isValid());
    const QString base = m_root.path();
    for (const char* sub : {"runtime", "home", "data", "config", "tmp"})
        QDir(base).mkpath(sub);
    QFile::setPermissions(base + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base + "/runtime"));
    qputenv("HOME", QFile::encodeName(base + "/home"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + "/data"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + "/config"));
    qputenv("TMPDIR", QFile::encodeName(base + "/tmp"));
    QStandardPaths::setTestModeEnabled(true);
}

QString TestEnvironment::runtimeDirectory() const
{
    return m_root.path() + "/runtime";
}
