#pragma once

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

// Gives a test process its own runtime directory (where device sockets live),
// home, data, config and temporary directories, and switches QStandardPaths to
// test mode, so a test never touches a user's files or a running unit. Make
// it first thing and keep it for the whole test; child processes inherit it.
class TestEnvironment {
public:
    TestEnvironment()
        : m_root(QDir::tempPath() + "/quorlin-test-XXXXXX")
    {
        const std::pair<const char*, const char*> directories[] = {
            {"XDG_RUNTIME_DIR", "runtime"}, {"HOME", "home"},  {"XDG_DATA_HOME", "data"},
            {"XDG_CONFIG_HOME", "config"},  {"TMPDIR", "tmp"},
        };
        for (const auto& [variable, name] : directories) {
            QDir(root()).mkpath(name);
            qputenv(variable, QFile::encodeName(root() + '/' + name));
        }
        QFile::setPermissions(runtimeDirectory(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QStandardPaths::setTestModeEnabled(true);
    }

    QString root() const { return m_root.path(); }
    QString runtimeDirectory() const { return root() + "/runtime"; } // $XDG_RUNTIME_DIR

private:
    QTemporaryDir m_root;
};
