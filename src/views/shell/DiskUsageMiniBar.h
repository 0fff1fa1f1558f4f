#pragma once

#include <QWidget>

namespace plenvo {

class ScanResult;
class StyledLabel;
class SymbolView;

// A small pill naming the scanned folder and its total size; for a result opened from a file,
// also that it came from a file and when it was scanned (the file's path in its tooltip); for a
// stopped scan, that it was stopped (its size then is at least what was counted).
class DiskUsageMiniBar : public QWidget {
    Q_OBJECT

public:
    explicit DiskUsageMiniBar(QWidget* parent = nullptr);

    void setResult(const ScanResult* result);
    QString nameText() const;
    QString sizeText() const;
    // Empty for a scan made here and read to the end.
    QString originText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolView* m_icon;
    StyledLabel* m_name;
    StyledLabel* m_origin;
    StyledLabel* m_size;
};

} // namespace plenvo
