#pragma once

#include "utils/StringFormatter.h"

#include <QAnyStringView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <concepts>

namespace plenvo {

// User-visible texts, addressed by keys such as "sidebar.overview" or
// "delete.done.single %@". A key that takes arguments carries its placeholders.
//
// Texts live in Qt translation catalogs keyed by message id (the key itself), one catalog per
// language, named plenvo_<language>.qm:
//   - the main tables, compiled into the program as resources under :/i18n/;
//   - an optional secondary bundle: a folder named Plenvo_Plenvo.bundle holding catalogs with
//     the same file names, looked for once per process next to the executable (see
//     findResourceBundle).
//
// The language is English ("en") or Simplified Chinese ("zh_CN"), picked from the user's
// preferred languages unless pinned with setLanguage(). All functions are safe to call from
// any thread.
class Localization {
public:
    Localization() = delete;

    // The text for `key`: the main tables' text if they have one, else the bundle's, else the
    // key itself. A text that is empty or equal to its key counts as missing.
    static QString lookup(QAnyStringView key);

    static QStringList supportedLanguages(); // "en", "zh_CN"
    // The language texts are currently looked up in.
    static QString language();
    // Pins the language: any Chinese tag ("zh", "zh_CN", "zh-Hant-TW", ...) selects "zh_CN",
    // anything else "en". An empty string returns to the user's preferred languages.
    static void setLanguage(QStringView language);
    // The supported language for a list of preferred languages, most preferred first (as
    // QLocale::uiLanguages() gives them): the first English or Chinese entry decides; "en"
    // when there is none.
    static QString languageFor(const QStringList& preferredLanguages);

    // The file name of a language's catalog, in the main tables and in the bundle.
    static QString catalogFileName(QStringView language);

    // Where to look for the secondary bundle, given the folder D holding the executable. The
    // candidates, in order, are D/Plenvo_Plenvo.bundle, D/Resources/Plenvo_Plenvo.bundle,
    // D/../Resources/Plenvo_Plenvo.bundle and D/../share/plenvo/Plenvo_Plenvo.bundle (the
    // installed location), with ".." resolved. The first candidate that is a folder holding the
    // catalog of at least one supported language is returned; an empty string when none is.
    // Acceptance does not depend on the current language, so the answer stays valid when the
    // language changes later; a bundle without the current language's catalog simply has no
    // texts for it.
    static QString findResourceBundle(const QString& executableDir);
    // The bundle of this process: findResourceBundle() of the executable's folder, computed on
    // first use and never again. Empty when there is none.
    static QString resourceBundlePath();
};

using LArg = StringFormatter::Arg;

template <typename T>
concept LArgument = std::constructible_from<LArg, const T&>;

// The text for `key`, unchanged (a '%' in it stays as it is).
QString L(QAnyStringView key);

// The text for `key` with its placeholders filled, printf-style and without any locale, e.g.
//   L("delete.done.batch %lld %@", count, FormatUtils::formatBytesCompact(bytes))
// Arguments are strings or integers. See StringFormatter for the conversions and for what
// happens when a text does not match its arguments.
template <LArgument First, LArgument... Rest>
QString L(QAnyStringView key, const First& first, const Rest&... rest)
{
    const std::array<LArg, 1 + sizeof...(Rest)> args{LArg(first), LArg(rest)...};
    return StringFormatter::format(Localization::lookup(key), args);
}

} // namespace plenvo
