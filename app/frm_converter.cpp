#include "app/frm_converter.h"

#include "core/user_messages.h"

#include "app/frm_path.h"
#include "app/frm_splash.h"
#include "app/paced_progress.h"
#include "app/progress_picture.h"
#include "app/striped_background.h"
#include "core/errors.h"
#include "core/messages.h"
#include "settings/screenshot_counter.h"
#include "settings/setting_file.h"
#include "convert/convert_command.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace grelm {

Frm_Converter::Frm_Converter(MessageSink &messages, const SettingPlaces &places, QWidget *parent)
    : QWidget(parent), m_messages(messages), m_settings(places)
{
    setUpWindow();
    createControls();
    setTabOrder();
    connectHandlers();
    m_progress = std::make_unique<PacedProgress>(*lblProgress, *picProgress);
    Form_Load();
}

Frm_Converter::~Frm_Converter() = default;

void Frm_Converter::Form_Load()
{
    LblDefaultF->setText(QStringLiteral("Half-Life installation Folder (Defaults to C:\\SIERRA\\Half-Life\\): "));
    ReadPathFile();
    SFindDir();
}

void Frm_Converter::ReadPathFile()
{
    if (const std::optional<FilePath> folder = m_settings.read())
        setGameFolderText(*folder);
    else
        m_messages.show(settingFileMissingMessage());
}

void Frm_Converter::SWritePath()
{
    try {
        m_settings.write(m_gameFolder);
    } catch (const FileError &error) {
        m_messages.show(settingFileNotSavedMessage(kSettingFileName, QString::fromStdString(error.what())));
    }
}

void Frm_Converter::SFindDir()
{
    const int count = countScreenshots(m_gameFolder, [this](int found) {
        txtPicturesFound->setText(QString::number(found));
    });
    if (count == 0)
        txtPicturesFound->setText(QStringLiteral("0"));
}

void Frm_Converter::cmdConvert_Click()
{
    // The pass lets the window handle events between files: nothing may start
    // a second batch or change the game folder meanwhile.
    setCommandsEnabled(false);
    m_closeRequested = false;
    ConvertSession session(*this, m_messages, m_cDib, m_convertThreading);
    runConvertCommand(session);
    setCommandsEnabled(true);
}

void Frm_Converter::setCommandsEnabled(bool enabled)
{
    cmdConvert->setEnabled(enabled);
    CmdSetFolder->setEnabled(enabled);
    Aboutbox->setEnabled(enabled);
}

// The box shows the folder for the screen; its bytes are kept beside it.
void Frm_Converter::setGameFolderText(const FilePath &folder)
{
    m_gameFolder = folder;
    TxtSetFolder->setText(folder.shownText());
}

void Frm_Converter::CmdSetFolder_Click()
{
    Frm_Path::load(*this, m_messages);
}

void Frm_Converter::Aboutbox_Click()
{
    frmSplash::load(this);
}

void Frm_Converter::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    painter.drawImage(0, 0, stripedBackground());
}

void Frm_Converter::closeEvent(QCloseEvent *event)
{
    m_closeRequested = true;
    event->accept();
}

FilePath Frm_Converter::gameFolder() const { return m_gameFolder; }

QString Frm_Converter::countText() const { return txtPicturesFound->text(); }

bool Frm_Converter::thumbsChecked() const { return chkThumbs->isChecked(); }

bool Frm_Converter::deleteSourceChecked() const { return chkDelSource->isChecked(); }

QString Frm_Converter::thumbWidthText() const { return txtThumbs->text(); }

void Frm_Converter::showProgress()
{
    m_progress->restart();
    picProgress->show();
    lblProgress->show();
}

void Frm_Converter::setProgressCaption(const QString &caption) { m_progress->setCaption(caption); }

int Frm_Converter::progressBarWidth() const { return picProgress->width(); }

void Frm_Converter::fillProgressBar(int fill) { m_progress->setFill(fill); }

// The caption and bar keep the last values set, as they would have shown them.
void Frm_Converter::hideProgress()
{
    m_progress->flush();
    picProgress->hide();
    lblProgress->hide();
}

void Frm_Converter::processEvents()
{
    m_progress->turn();
    QCoreApplication::processEvents();
}

bool Frm_Converter::stopRequested() const { return m_closeRequested; }

} // namespace grelm
