#pragma once

#include <QLocale>

// Installs the translations for the locale's languages into the running
// application: the application's own (compiled in) and, for the same
// language, the toolkit's own (file dialog, standard buttons), so that a
// window is never half in one language and half in another. Replaces the
// ones an earlier call installed. Where the application has no translation
// for any of the locale's languages, everything stays English. Returns
// whether a translation was installed.
bool InstallTranslations(const QLocale& locale);
