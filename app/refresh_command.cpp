#include "app/refresh_command.h"

#include <QDebug>
#include <QProcess>

bool runRefreshCommand(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments, QIODevice::ReadWrite);

    bool failed = false;
    if (!process.waitForFinished(timeoutMs)) {
        qWarning() << "重启资源管理器超时";
        qWarning().noquote() << "错误信息:" << process.errorString();
        failed = true;
    }
    // A command that is still running has no exit code yet: this reads 0.
    const int exitCode = process.exitCode();
    if (exitCode != 0) {
        qWarning() << "命令执行失败，退出代码:" << exitCode;
        qWarning().noquote() << "输出:" << QString::fromLocal8Bit(process.readAllStandardOutput());
        qWarning().noquote() << "错误输出:"
                             << QString::fromLocal8Bit(process.readAllStandardError());
        failed = true;
    }
    if (!failed)
        qDebug() << "资源管理器已成功重启";
    // Not left running behind the slot that started it; ended only now, so
    // that its forced end is not reported as its exit code.
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return !failed;
}
