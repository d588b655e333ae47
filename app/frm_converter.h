#pragma once

#include "app/folder_picker_host.h"
#include "core/convert_view.h"
#include "convert/convert_session.h"
#include "imaging/dib_section.h"
#include "settings/setting_store.h"

#include <QString>
#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace grelm {

class LineShape;
class MessageSink;
class PacedProgress;
class ProgressPicture;

/// The main window: the game folder, the screenshot count, the thumbnail and
/// delete options, the progress display and the commands. Its start-up runs in
/// the constructor, before the window is first shown.
class Frm_Converter : public QWidget, public ConvertView, public FolderPickerHost {
    Q_OBJECT
public:
    /// The setting file lives in one of `places`; messages go to `messages`.
    explicit Frm_Converter(MessageSink &messages, const SettingPlaces &places = programSettingPlaces(),
                           QWidget *parent = nullptr);
    ~Frm_Converter() override;

    /// Counts the screenshots of the game folder into txtPicturesFound.
    void SFindDir() override;
    /// Stores the game folder in the setting file; says so when it cannot.
    void SWritePath() override;

    // FolderPickerHost
    QWidget *hostWindow() override { return this; }
    void setGameFolderText(const FilePath &folder) override;

    /// How Convert spreads its work over threads (for tests and measurements).
    void setConvertThreading(const ConvertThreading &threading) { m_convertThreading = threading; }

    // ConvertView
    FilePath gameFolder() const override;
    QString countText() const override;
    bool thumbsChecked() const override;
    bool deleteSourceChecked() const override;
    QString thumbWidthText() const override;
    void showProgress() override;
    void setProgressCaption(const QString &caption) override;
    int progressBarWidth() const override;
    void fillProgressBar(int fill) override;
    void hideProgress() override;
    void processEvents() override;
    bool stopRequested() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void cmdConvert_Click();
    void CmdSetFolder_Click();
    void Aboutbox_Click();

private:
    void Form_Load();
    void ReadPathFile();
    void setCommandsEnabled(bool enabled);

    // Building the controls (frm_converter_controls.cpp).
    void setUpWindow();
    void createControls();
    void setTabOrder();
    void connectHandlers();

    MessageSink &m_messages;
    SettingStore m_settings;
    bool m_closeRequested = false;
    cDIBSection m_cDib{m_messages}; // declared after m_messages, which it is made reporting to
    ConvertThreading m_convertThreading = ConvertThreading::fromEnvironment();

    LineShape *Line1 = nullptr;
    LineShape *Line2 = nullptr;
    LineShape *Line3 = nullptr;
    QLabel *PLogo = nullptr;
    QLabel *LblDefaultF = nullptr;
    QLineEdit *TxtSetFolder = nullptr;
    FilePath m_gameFolder; // what TxtSetFolder shows, with every byte of the name
    QPushButton *CmdSetFolder = nullptr;
    QLabel *lblPictures = nullptr;
    QLineEdit *txtPicturesFound = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *chkThumbs = nullptr;
    QLabel *lblThumbsSize = nullptr;
    QLineEdit *txtThumbs = nullptr;
    QLabel *lblProgress = nullptr;
    ProgressPicture *picProgress = nullptr;
    QCheckBox *chkDelSource = nullptr;
    QPushButton *cmdConvert = nullptr;
    QPushButton *Aboutbox = nullptr;
    QLabel *LblIpGrelm = nullptr;
    std::unique_ptr<PacedProgress> m_progress; // lblProgress and picProgress, painted at the screen's pace

    struct Control;                   // one row of the controls' table
    static const Control kControls[]; // every control but the lines, in the order they are made
};

} // namespace grelm
