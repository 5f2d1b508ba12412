#pragma once

#include "platform/posix_endpoint.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// A test process's own runtime (device sockets), home, data, config and
// temporary directories, QStandardPaths in test mode: no user's files or unit
// touched. Made first, kept for the whole test; child processes inherit it.
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

    // Leaves the socket of device or pipe `name` as a crashed process does.
    static bool leaveDeadSocket(const std::wstring& name)
    {
        if (!platform::posix::ensureRuntimeDirectory())
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        platform::posix::endpointPath(name).copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        return bound;
    }

private:
    QTemporaryDir m_root;
};
