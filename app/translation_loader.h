#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// The translation code for a system locale name ("zh_TW" -> "zh_CN");
// "en_US" for any name not in the table. Exact, case-sensitive match.
QString translationCodeFor(const QString& localeName);

// Loads "<directory>/QuorlinDriver_<code>.qm" for the locale, falling back to
// the en_US file, and installs it in `application`. Logs each step. Returns
// whether a translation was installed; the built-in texts stay otherwise.
bool installTranslation(QCoreApplication& application, QTranslator& translator,
                        const QString& localeName, const QString& directory);
