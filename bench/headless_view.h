#pragma once

#include "core/convert_view.h"

#include "bench/measurement.h"

namespace grelm::bench {

/// A window-less ConvertView over a folder: fixed control values, a progress
/// display that only counts, and event turns that hand over to Qt's event loop
/// and record the longest time the window's thread went without one.
class HeadlessConvertView : public ConvertView {
public:
    HeadlessConvertView(FilePath folder, int count, bool thumbs, bool deleteSources = false);

    FilePath gameFolder() const override { return m_folder; }
    QString countText() const override { return QString::number(m_count); }
    bool thumbsChecked() const override { return m_thumbs; }
    bool deleteSourceChecked() const override { return m_deleteSources; }
    QString thumbWidthText() const override { return QStringLiteral("70"); }

    void showProgress() override {}
    void setProgressCaption(const QString &caption) override { ++m_captions, m_caption = caption; }
    int progressBarWidth() const override { return 400; }
    void fillProgressBar(int) override {}
    void hideProgress() override {}

    void processEvents() override;
    bool stopRequested() const override { return false; }

    /// Starts the clock of the first gap: call right before the command starts.
    void start();
    /// Closes the last gap: call right after the command ends.
    void finish();
    double longestGapMs() const { return m_longestGap * 1000; }
    int eventTurns() const { return m_turns; }
    int captions() const { return m_captions; }
    /// Where the longest gap began: the caption shown then and the turns before it.
    QString longestGapPlace() const { return m_longestGapPlace; }

private:
    void closeGap();

    FilePath m_folder;
    int m_count;
    bool m_thumbs;
    bool m_deleteSources;
    Stopwatch m_sinceTurn;
    double m_longestGap = 0;
    int m_turns = 0;
    int m_captions = 0;
    QString m_caption;
    QString m_longestGapPlace;
};

} // namespace grelm::bench
