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
        // Not left running behind the slot that started it.
        process.kill();
        process.waitForFinished();
    }
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
    return !failed;
}
