#include "theme/Palettes.h"

namespace plenvo {

namespace {

struct Roles {
    QColor window, windowText, base, alternateBase, button, text, light, midlight, mid, dark,
        shadow, highlight, highlightedText, toolTipBase, toolTipText, placeholder, link,
        linkVisited, disabledText, disabledHighlight;
};

QPalette paletteOf(const Roles& r)
{
    QPalette p;
    const auto all = [&p](QPalette::ColorRole role, const QColor& color) {
        p.setColor(QPalette::All, role, color);
    };
    all(QPalette::Window, r.window);
    all(QPalette::WindowText, r.windowText);
    all(QPalette::Base, r.base);
    all(QPalette::AlternateBase, r.alternateBase);
    all(QPalette::Button, r.button);
    all(QPalette::ButtonText, r.text);
    all(QPalette::Text, r.text);
    all(QPalette::BrightText, Qt::white);
    all(QPalette::Light, r.light);
    all(QPalette::Midlight, r.midlight);
    all(QPalette::Mid, r.mid);
    all(QPalette::Dark, r.dark);
    all(QPalette::Shadow, r.shadow);
    all(QPalette::Highlight, r.highlight);
    all(QPalette::HighlightedText, r.highlightedText);
    all(QPalette::ToolTipBase, r.toolTipBase);
    all(QPalette::ToolTipText, r.toolTipText);
    all(QPalette::PlaceholderText, r.placeholder);
    all(QPalette::Link, r.link);
    all(QPalette::LinkVisited, r.linkVisited);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, r.disabledText);
    p.setColor(QPalette::Disabled, QPalette::Highlight, r.disabledHighlight);
    return p;
}

} // namespace

QPalette Palettes::light()
{
    return paletteOf({.window = QColor(0xef, 0xef, 0xef),
                      .windowText = Qt::black,
                      .base = Qt::white,
                      .alternateBase = QColor(0xf7, 0xf7, 0xf7),
                      .button = QColor(0xef, 0xef, 0xef),
                      .text = Qt::black,
                      .light = Qt::white,
                      .midlight = QColor(0xe3, 0xe3, 0xe3),
                      .mid = QColor(0xa0, 0xa0, 0xa0),
                      .dark = QColor(0x9f, 0x9f, 0x9f),
                      .shadow = QColor(0x76, 0x76, 0x76),
                      .highlight = QColor(0x1c, 0x71, 0xd8),
                      .highlightedText = Qt::white,
                      .toolTipBase = QColor(0xff, 0xff, 0xdc),
                      .toolTipText = Qt::black,
                      .placeholder = QColor(0x6e, 0x6e, 0x6e),
                      .link = QColor(0x1a, 0x5f, 0xb4),
                      .linkVisited = QColor(0x61, 0x35, 0x83),
                      .disabledText = QColor(0x8c, 0x8c, 0x8c),
                      .disabledHighlight = QColor(0x91, 0x91, 0x91)});
}

QPalette Palettes::dark()
{
    return paletteOf({.window = QColor(0x24, 0x24, 0x24),
                      .windowText = QColor(0xf0, 0xf0, 0xf0),
                      .base = QColor(0x1e, 0x1e, 0x1e),
                      .alternateBase = QColor(0x2a, 0x2a, 0x2a),
                      .button = QColor(0x33, 0x33, 0x33),
                      .text = QColor(0xf0, 0xf0, 0xf0),
                      .light = QColor(0x4a, 0x4a, 0x4a),
                      .midlight = QColor(0x3a, 0x3a, 0x3a),
                      .mid = QColor(0x5a, 0x5a, 0x5a),
                      .dark = QColor(0x14, 0x14, 0x14),
                      .shadow = Qt::black,
                      .highlight = QColor(0x1c, 0x71, 0xd8),
                      .highlightedText = Qt::white,
                      .toolTipBase = QColor(0x33, 0x33, 0x33),
                      .toolTipText = QColor(0xf0, 0xf0, 0xf0),
                      .placeholder = QColor(0x9a, 0x9a, 0x9a),
                      .link = QColor(0x78, 0xae, 0xed),
                      .linkVisited = QColor(0xc0, 0x97, 0xe0),
                      .disabledText = QColor(0x80, 0x80, 0x80),
                      .disabledHighlight = QColor(0x44, 0x44, 0x44)});
}

} // namespace plenvo
