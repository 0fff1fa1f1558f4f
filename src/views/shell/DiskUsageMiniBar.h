#pragma once

#include <QWidget>

namespace plenvo {

class ScanResult;
class StyledLabel;

// A small pill naming the scanned folder and its total size.
class DiskUsageMiniBar : public QWidget {
    Q_OBJECT

public:
    explicit DiskUsageMiniBar(QWidget* parent = nullptr);

    void setResult(const ScanResult* result);
    QString nameText() const;
    QString sizeText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StyledLabel* m_name;
    StyledLabel* m_size;
};

} // namespace plenvo
