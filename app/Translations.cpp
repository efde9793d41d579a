#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// The translators live as children of the application, found again by name.
const char kTranslatorName[] = "velmora-translator";

QTranslator* NewTranslator()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(QString::fromLatin1(kTranslatorName));
    return translator;
}

} // namespace

bool InstallTranslations(const QLocale& locale)
{
    for (QTranslator* previous : QCoreApplication::instance()->findChildren<QTranslator*>(
             QString::fromLatin1(kTranslatorName), Qt::FindDirectChildrenOnly))
        delete previous;  // its destructor uninstalls it

    // The first of the user's languages the application speaks decides.
    QTranslator* own = NewTranslator();
    if (!own->load(locale, QStringLiteral("velmora"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    // Without Debian's package of the toolkit's translations its own texts
    // stay English; the application's are still translated.
    QTranslator* toolkit = NewTranslator();
    if (toolkit->load(QStringLiteral("qtbase_") + own->language(),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(toolkit);
    else
        delete toolkit;
    return true;
}
