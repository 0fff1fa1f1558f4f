#include "theme/ColorSchemeFollower.h"

#include "platform/ColorSchemeSource.h"
#include "theme/Colors.h"
#include "theme/Palettes.h"

#include <QApplication>

namespace plenvo {

ColorSchemeFollower::ColorSchemeFollower(ColorSchemeSource& source, QObject* parent)
    : ColorSchemeFollower(source, QApplication::palette(), parent)
{
}

ColorSchemeFollower::ColorSchemeFollower(ColorSchemeSource& source, const QPalette& platform,
                                         QObject* parent)
    : QObject(parent), m_source(source), m_platform(platform)
{
    connect(&source, &ColorSchemeSource::preferenceChanged, this, &ColorSchemeFollower::apply);
    apply();
}

QPalette ColorSchemeFollower::wantedPalette() const
{
    using Preference = ColorSchemeSource::Preference;
    const std::optional<Preference> preference = m_source.preference();
    const Colors::Scheme platform = Colors::scheme(m_platform);
    if (preference == Preference::dark && platform == Colors::Scheme::light)
        return Palettes::dark();
    if (preference == Preference::light && platform == Colors::Scheme::dark)
        return Palettes::light();
    return m_platform;
}

void ColorSchemeFollower::apply()
{
    const QPalette wanted = wantedPalette();
    if (wanted != QApplication::palette())
        QApplication::setPalette(wanted);
}

} // namespace plenvo
