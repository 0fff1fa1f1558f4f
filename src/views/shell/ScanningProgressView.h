#pragma once

#include "models/ScanProgress.h"

#include <QWidget>

class QPushButton;

namespace plenvo {

class ActivitySpinner;
class StyledLabel;

// What the detail area shows while a scan runs: a spinner, a title and, while the scan reports
// where it is, the number of files met so far and the folder it is in; below them a Stop button
// (object name "scanning.stop") that asks for the scan, or the opening of a saved scan, to stop.
// Esc, anywhere in the view, asks the same. Once asked (setStopping()) the button is off.
//
// The labels carry object names so that their texts can be read: "scanning.title",
// "scanning.filesScanned" and "scanning.path" (elided in the middle to its width).
class ScanningProgressView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSpinnerDiameter = 32;
    static constexpr int kMaximumPathWidth = 400;

    explicit ScanningProgressView(QWidget* parent = nullptr);

    void setProgress(const ScanProgress& progress);
    // The title above the counts: "Scanning…" unless changed (a saved scan being read).
    void setTitle(const QString& title);
    // Whether the files are read from a saved scan rather than scanned: the count then says
    // "Files read" instead of "Files scanned".
    void setReadingSavedScan(bool reading);
    // Whether the scan was asked to stop and is stopping: the button is then off.
    void setStopping(bool stopping);
    const ScanProgress& progress() const { return m_progress; }

    ActivitySpinner* spinner() const { return m_spinner; }
    QPushButton* stopButton() const { return m_stop; }

Q_SIGNALS:
    void stopRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ScanProgress m_progress;
    bool m_readingSavedScan = false;
    ActivitySpinner* m_spinner;
    StyledLabel* m_title;
    StyledLabel* m_filesScanned;
    StyledLabel* m_path;
    QPushButton* m_stop;
};

} // namespace plenvo
