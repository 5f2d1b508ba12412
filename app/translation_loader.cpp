#include "app/translation_loader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QStringList>
#include <QTranslator>

namespace {

const char* const kDefaultCode = "en_US";
const char* const kFileTemplate = "/QuorlinDriver_%1.qm";

const QHash<QString, QString>& localeMap()
{
    static const QHash<QString, QString> map{
        {QStringLiteral("en_001"), QStringLiteral("en_US")},
        {QStringLiteral("en_US"), QStringLiteral("en_US")},
        {QStringLiteral("en_GB"), QStringLiteral("en_US")},
        {QStringLiteral("zh_CN"), QStringLiteral("zh_CN")},
        {QStringLiteral("zh_TW"), QStringLiteral("zh_CN")},
    };
    return map;
}

QString translationPath(const QString& directory, const QString& code)
{
    return directory + QString::fromLatin1(kFileTemplate).arg(code);
}

} // namespace

QString translationCodeFor(const QString& localeName)
{
    return localeMap().value(localeName, QString::fromLatin1(kDefaultCode));
}

bool installTranslation(QCoreApplication& application, QTranslator& translator,
                        const QString& localeName, const QString& directory)
{
    qDebug().noquote() << "系统返回的语言代码：" + localeName;

    const QStringList candidates{translationCodeFor(localeName)};
    for (const QString& code : candidates) {
        const QString path = translationPath(directory, code);
        qDebug().noquote() << "拼接后的路径：" + path;
        if (translator.load(path)) {
            application.installTranslator(&translator);
            qDebug().noquote() << "成功加载翻译文件：" + path;
            return true;
        }
    }

    const QString fallback = translationPath(directory, QString::fromLatin1(kDefaultCode));
    if (translator.load(fallback)) {
        application.installTranslator(&translator);
        qDebug().noquote() << "加载默认翻译文件：" + fallback;
        return true;
    }
    qWarning() << "未找到任何翻译文件，使用原始文本";
    return false;
}
