#pragma once

#include "geometry/TreemapLayout.h"
#include "models/FileNode.h"

#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QVariantAnimation;

namespace plenvo {

// The painted area of the treemap: one rounded tile per shown child of a folder, labelled
// when there is room, highlighted under the pointer. A click on a tile is reported, not acted
// upon. The tiles are laid out once per folder, tree change and size, lazily, so a resize lays
// out at most once per frame and a hover change only repaints.
//
// From the keyboard: the area takes the focus, the arrow keys move it to the nearest tile in
// their direction (TreemapNavigation), Enter reports the focused tile as a click does and
// Backspace asks for the folder above. The focused tile is drawn with a ring, and the area's
// accessible name says which tile it is, so that screen readers announce each move.
class TreemapCanvas : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFadeMilliseconds = 200;
    static constexpr qreal kCornerRadius = 4.0;
    static constexpr qreal kFillOpacity = 0.75;
    static constexpr qreal kHoveredFillOpacity = 0.9;
    static constexpr qreal kBorderOpacity = 0.6;
    // A tile is labelled with its name when its cell is wider and taller than this, and with
    // its size as well when the cell is taller than kSizeLabelMinHeight.
    static constexpr qreal kLabelMinWidth = 50.0;
    static constexpr qreal kLabelMinHeight = 30.0;
    static constexpr qreal kSizeLabelMinHeight = 40.0;

    explicit TreemapCanvas(QWidget* parent = nullptr);

    const NodeRef& folder() const { return m_folder; }
    // Shows the children of `folder`; `animated` cross-fades from what was shown before.
    void setFolder(NodeRef folder, bool animated);
    // The tree changed: the tiles are laid out again before they are next used.
    void contentChanged();

    // The tiles for the folder, the tree and the current size.
    const std::vector<TreemapTile>& tiles() const;
    // How many times the tiles were laid out (for measurements and tests).
    std::uint64_t layoutCount() const { return m_layoutCount; }
    const std::optional<NodeId>& hoveredNodeId() const { return m_hovered; }
    // The tile the keyboard is on; none until the area has had the focus in this folder.
    const std::optional<NodeId>& focusedNodeId() const { return m_focused; }
    // Puts the keyboard on the tile of `id` (a child of the folder that has a tile).
    void setFocusedNode(const std::optional<NodeId>& id);
    // What a screen reader hears for a tile: its name, whether it is a folder, and its size.
    static QString spokenText(const FileNode& node);
    bool isFading() const { return m_fadeFrom.has_value(); }

    // The colour of a node's tile: a file's category colour; for a folder a hue from its name
    // (the same name, the same hue) at a brightness that suits the palette.
    static QColor colorFor(const FileNode& node, const QPalette& palette);
    // The colours of a tile's labels on its fill (with the fill's opacity) over the window:
    // each reads at 4.5 : 1 or more; the size is fainter where that allows.
    struct LabelColors {
        QColor name;
        QColor size;
    };
    static LabelColors labelColors(const QColor& fill, const QColor& window);
    // What the area says when the folder has no tile (nothing in it takes space).
    static QString emptyText();
    // Which labels a cell gets.
    static bool showsName(const QRectF& cell);
    static bool showsSize(const QRectF& cell);

    QSize sizeHint() const override { return {600, 400}; }

Q_SIGNALS:
    void folderClicked(const NodeRef& folder);
    void fileClicked(const NodeRef& file);
    // A context menu was asked for on the tile of `node`, at `globalPosition`.
    void menuRequested(const NodeRef& node, const QPoint& globalPosition);
    // Backspace: the folder above, please.
    void upRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const TreemapTile* tileAt(const QPointF& point) const;
    void setHovered(const std::optional<NodeId>& id);
    void updateTile(const std::optional<NodeId>& id);
    void paintTiles(QPainter& painter) const;
    // The index of the focused tile among tiles(), or -1.
    int focusedIndex() const;
    void announceFocus();

    NodeRef m_folder;
    mutable std::vector<TreemapTile> m_tiles;
    mutable QSize m_laidOutSize;
    mutable bool m_layoutValid = false;
    mutable std::uint64_t m_layoutCount = 0;
    std::optional<NodeId> m_hovered;
    std::optional<NodeId> m_pressed;
    std::optional<NodeId> m_focused;
    // The picture faded out while the new tiles fade in, and how far the fade has come.
    std::optional<QPixmap> m_fadeFrom;
    qreal m_fadeProgress = 1.0;
    QVariantAnimation* m_fade;
};

} // namespace plenvo
