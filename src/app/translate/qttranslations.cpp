#include "app/translate/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "app/translate/languagecommands.h"

namespace tervasko {
namespace {

// The one translator of Qt's texts that the program has installed, owned by the application.
QPointer<QTranslator> gInstalled;

}  // namespace

QString QtLanguageCode(int language) {
    switch (language) {
        case kGerman:
            return QStringLiteral("de");
        case kEnglish:
            return QStringLiteral("en");
        case kItalian:
            return QStringLiteral("it");
        default:
            return {};
    }
}

bool LoadQtTranslations(int language) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    if (gInstalled) {
        QCoreApplication::removeTranslator(gInstalled);
        delete gInstalled;
    }
    const QString code = QtLanguageCode(language);
    if (code.isEmpty()) return false;
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_") + code,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    gInstalled = translator;
    return true;
}

}  // namespace tervasko
