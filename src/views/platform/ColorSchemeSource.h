#pragma once

#include <QObject>

#include <optional>

namespace plenvo {

// Where the colour scheme the desktop prefers comes from. A source answers once after it is
// made (or finds that it cannot answer) and reports changes after that.
class ColorSchemeSource : public QObject {
    Q_OBJECT

public:
    enum class Preference { noPreference, dark, light };

    using QObject::QObject;

    // The preference as last heard; none until the source has answered, and none for good
    // when it cannot answer.
    virtual std::optional<Preference> preference() const = 0;
    // Whether the first answer, or the failure to get one, has come.
    virtual bool isSettled() const = 0;

Q_SIGNALS:
    // The first answer came, or it became clear that none will.
    void settled();
    // preference() changed.
    void preferenceChanged();
};

} // namespace plenvo
