// The window speaks the desktop's language where the program has it, and
// English otherwise.
#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace app {

// The first of the user's languages, most wanted first ("de-DE", "fr"),
// that the program speaks; empty for English, or when it speaks none of
// them before English.
QString PickLanguage(const QStringList& wanted, const QStringList& spoken);

// The languages the program carries besides English ("de", "fr", "es").
QStringList SpokenLanguages();

// Loads the translations for the desktop's languages (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG) into `application`; the language taken, or empty for
// English.
QString InstallTranslations(QCoreApplication& application);

} // namespace app
