#include "remote/remote_protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#ifndef Q_OS_WIN
#include "platform/posix_endpoint.h"
#endif

namespace remote {

namespace {

const QString kVersionKey = QStringLiteral("version");
const QString kCommandKey = QStringLiteral("command");
const QString kArgumentsKey = QStringLiteral("arguments");
const QString kOptionsKey = QStringLiteral("options");
const QString kStatusKey = QStringLiteral("status");
const QString kOutputKey = QStringLiteral("output");
const QString kErrorKey = QStringLiteral("error");

// Command and option names: lowercase words joined by hyphens.
bool isWord(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("^[a-z][a-z0-9-]{0,31}$"));
    return word.match(text).hasMatch();
}

QByteArray line(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject objectOf(const QByteArray& line, bool* ok)
{
    QByteArray text = line;
    if (text.endsWith('\n'))
        text.chop(1);
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    *ok = parseError.error == QJsonParseError::NoError && document.isObject();
    return document.object();
}

// The strings of `value`, which must be an array of at most `limit` strings
// passing `check`.
bool stringsOf(const QJsonValue& value, int limit, bool (*check)(const QString&),
               QStringList* strings)
{
    if (!value.isArray() || value.toArray().size() > limit)
        return false;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString() || !check(item.toString()))
            return false;
        strings->append(item.toString());
    }
    return true;
}

bool anyText(const QString&)
{
    return true;
}

} // namespace

QString endpointName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("quorlinctl-") + qEnvironmentVariable("USERNAME");
#else
    return QString::fromStdString(platform::posix::runtimeDirectory()) +
           QStringLiteral("/quorlinctl");
#endif
}

QByteArray serializeRequest(const Request& request)
{
    return line({{kVersionKey, kProtocolVersion},
                 {kCommandKey, request.command},
                 {kArgumentsKey, QJsonArray::fromStringList(request.arguments)},
                 {kOptionsKey, QJsonArray::fromStringList(request.options)}});
}

QByteArray serializeReply(const Reply& reply)
{
    return line({{kStatusKey, reply.status}, {kOutputKey, reply.output}, {kErrorKey, reply.error}});
}

bool parseRequest(const QByteArray& text, Request* request, QString* error)
{
    bool ok = false;
    const QJsonObject object = objectOf(text, &ok);
    if (!ok || !object.value(kVersionKey).isDouble()) {
        *error = QStringLiteral("not a quorlinctl request");
        return false;
    }
    if (object.value(kVersionKey).toDouble() != kProtocolVersion) {
        *error = QStringLiteral("quorlinctl and the panel are of different versions; "
                                "use the quorlinctl installed with the panel");
        return false;
    }
    Request parsed;
    parsed.command = object.value(kCommandKey).toString();
    if (!isWord(parsed.command) ||
        !stringsOf(object.value(kArgumentsKey), kMaxArguments, &anyText, &parsed.arguments) ||
        !stringsOf(object.value(kOptionsKey), kMaxArguments, &isWord, &parsed.options)) {
        *error = QStringLiteral("malformed quorlinctl request");
        return false;
    }
    *request = parsed;
    return true;
}

bool parseReply(const QByteArray& text, Reply* reply)
{
    bool ok = false;
    const QJsonObject object = objectOf(text, &ok);
    const QJsonValue status = object.value(kStatusKey);
    if (!ok || !status.isDouble() || !object.value(kOutputKey).isString() ||
        !object.value(kErrorKey).isString())
        return false;
    reply->status = status.toInt(BadRequest);
    reply->output = object.value(kOutputKey).toString();
    reply->error = object.value(kErrorKey).toString();
    return true;
}

} // namespace remote
