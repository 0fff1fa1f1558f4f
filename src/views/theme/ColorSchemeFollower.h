#pragma once

#include <QObject>
#include <QPalette>

namespace plenvo {

class ColorSchemeSource;

// Keeps the application's palette in the colour scheme the desktop prefers. When it prefers
// dark and the platform's palette is light, the application's dark palette (Palettes) takes
// over, and the reverse for light; when the platform's palette is already in the preferred
// scheme, or there is no preference, or no answer, the platform's palette stays.
class ColorSchemeFollower : public QObject {
    Q_OBJECT

public:
    // `platform` is the palette the platform gives, the application's palette of the moment
    // unless said otherwise.
    explicit ColorSchemeFollower(ColorSchemeSource& source, QObject* parent = nullptr);
    ColorSchemeFollower(ColorSchemeSource& source, const QPalette& platform,
                        QObject* parent = nullptr);

    // The palette for what the source says now.
    QPalette wantedPalette() const;

private:
    void apply();

    ColorSchemeSource& m_source;
    QPalette m_platform;
};

} // namespace plenvo
