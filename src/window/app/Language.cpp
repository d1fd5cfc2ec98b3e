#include "app/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace app {

namespace {

// Compiled into the program at build time.
const QString kTranslations = QStringLiteral(":/i18n");

QString LanguageOf(const QString& name) {
    return name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

} // namespace

QString PickLanguage(const QStringList& wanted, const QStringList& spoken) {
    for (const QString& name : wanted) {
        const QString language = LanguageOf(name);
        if (language == QLatin1String("en"))
            return {};
        if (spoken.contains(language))
            return language;
    }
    return {};
}

QStringList SpokenLanguages() {
    QStringList spoken;
    for (const QString& file : QDir(kTranslations).entryList({QStringLiteral("arvenzo_*.qm")}))
        spoken << file.mid(8, file.size() - 11);
    return spoken;
}

QString InstallTranslations(QCoreApplication& application) {
    const QString language = PickLanguage(QLocale::system().uiLanguages(), SpokenLanguages());
    if (language.isEmpty())
        return {};
    const auto install = [&application](std::unique_ptr<QTranslator> translator) {
        translator->setParent(&application);
        QCoreApplication::installTranslator(translator.release());
    };
    auto own = std::make_unique<QTranslator>();
    if (!own->load(kTranslations + QStringLiteral("/arvenzo_") + language + QStringLiteral(".qm")))
        return {};
    install(std::move(own));
    // Qt's own texts (the file pickers) where the system has them.
    auto toolkit = std::make_unique<QTranslator>();
    if (toolkit->load(QStringLiteral("qtbase_") + language,
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        install(std::move(toolkit));
    return language;
}

} // namespace app
