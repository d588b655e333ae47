// Builds the main window's controls: names, captions, tooltips, places, colours.
#include "app/frm_converter.h"

#include "core/file_names.h"

#include "app/app_font.h"
#include "app/line_shape.h"
#include "app/progress_picture.h"
#include "app/web_address.h"
#include "app/web_link_label.h"
#include "resources/resources.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace grelm {

namespace {

// Places are given in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QPoint twipPoint(int x, int y) { return QPoint(x / 15, y / 15); }

template <typename W>
W *named(W *widget, const char *name, const QRect &place, const QString &toolTip = {})
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(place);
    widget->setToolTip(toolTip);
    return widget;
}

LineShape *line(const char *name, QPoint from, QPoint to, QWidget *parent)
{
    auto *shape = new LineShape(from, to, parent);
    shape->setObjectName(QLatin1String(name));
    return shape;
}

// A label over the striped picture: transparent, text from the top-left corner.
QLabel *label(const QString &text, const QColor &textColour, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setTextFormat(Qt::PlainText);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, textColour);
    l->setPalette(palette);
    return l;
}

QCheckBox *checkBox(const QString &text, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Window, Qt::black);
    box->setPalette(palette);
    box->setBackgroundRole(QPalette::Window);
    box->setAutoFillBackground(true);
    return box;
}

QLabel *logo(QWidget *parent)
{
    auto *picture = new QLabel(parent);
    picture->setPixmap(QPixmap(kBannerPicture));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setBackgroundRole(QPalette::Base);
    picture->setAutoFillBackground(true);
    picture->setFocusPolicy(Qt::StrongFocus);
    return picture;
}

} // namespace

void Frm_Converter::setUpWindow()
{
    setObjectName(QStringLiteral("Frm_Converter"));
    setWindowTitle(QStringLiteral("GRELM Screenshot Converter v" GRELM_VERSION));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(windowFont());
    setGeometry(310, 249, 504, 373);
    setFixedSize(504, 373);
}

void Frm_Converter::createControls()
{
    // Lines first: they lie beneath every other control.
    Line2 = line("Line2", twipPoint(0, 0), twipPoint(7320, 0), this);
    Line1 = line("Line1", twipPoint(120, 2520), twipPoint(7440, 2520), this);
    Line3 = line("Line3", twipPoint(4200, 3840), twipPoint(7440, 3840), this);

    PLogo = named(logo(this), "PLogo", twips(120, 120, 7335, 1215),
                  QStringLiteral("The GRELM Screenshot converter uses leet (L337) mouseoverhelp technology. Note that "
                                 "use of this program requires: A functioning cerebrum, some mouse and keyboard skills."));
    LblDefaultF = named(label(QString(), palette().color(QPalette::Light), this), "LblDefaultF", twips(120, 1440, 7335, 255));
    TxtSetFolder = named(new QLineEdit(this), "TxtSetFolder", twips(120, 1800, 4095, 285),
                         QStringLiteral("Current path to your Half-Life Installation."));
    TxtSetFolder->setEnabled(false);
    CmdSetFolder = named(new QPushButton(QStringLiteral("Set Folder"), this), "CmdSetFolder",
                         twips(4320, 1800, 1575, 255),
                         QStringLiteral("Opens a dialog box to set the drive and folder of your Half-Life / game "
                                        "installation."));

    lblPictures = named(label(QStringLiteral("Pictures Found"), Qt::white, this), "lblPictures", twips(120, 2640, 1215, 255));
    txtPicturesFound = named(new QLineEdit(this), "txtPicturesFound", twips(1320, 2640, 495, 285),
                             QStringLiteral("This will display the number of pics taking up room in your Half-Life or "
                                            "Counter-Strike Installation folder (if any)."));
    txtPicturesFound->setReadOnly(true);

    Label1 = named(label(QStringLiteral("Thumbnails"), Qt::white, this), "Label1", twips(4200, 2640, 3255, 255),
                   QStringLiteral("This is the thumbnail section...duh."));
    chkThumbs = named(checkBox(QStringLiteral("Create Thumbnails"), this), "chkThumbs", twips(4200, 3000, 3255, 255),
                      QStringLiteral("Create little thumbnails of the pictures after conversion. They always go to the "
                                     "\\thumbs folder in your root Half Life install. By default it's "
                                     "c:\\sierra\\half-life\\thumbs."));
    lblThumbsSize = named(label(QStringLiteral("Thumbnail Width"), palette().color(QPalette::Light), this), "lblThumbsSize",
                          twips(4200, 3360, 1335, 255));
    txtThumbs = named(new QLineEdit(QStringLiteral("70"), this), "txtThumbs", twips(5520, 3360, 615, 285),
                      QStringLiteral("Set the width of your thumbnail pictures here. Note that the height will be "
                                     "proportional to the width. This is done to avoid having folks deform their pics "
                                     "by doing something silly, like having 100 pixel by 10 pixel screenshots."));

    lblProgress = named(label(QStringLiteral("Converting..."), palette().color(QPalette::HighlightedText), this), "lblProgress",
                        twips(4200, 3960, 1905, 225));
    lblProgress->hide();
    picProgress = named(new ProgressPicture(this), "picProgress", twips(4200, 4320, 3270, 255));
    picProgress->hide();

    Aboutbox = named(new QPushButton(QStringLiteral("About Snapmill"), this), "Aboutbox", twips(120, 4920, 1695, 255),
                     QStringLiteral("Who's responsible for this atrocity!"));
    chkDelSource = named(checkBox(QStringLiteral("Delete Source Pictures"), this), "chkDelSource",
                         twips(4200, 4920, 3255, 255),
                         QStringLiteral("Delete the source Bitmaps after converting them to JPEG."));
    LblIpGrelm = named(createLblIpGrelm(), "LblIpGrelm", twips(120, 5280, 2535, 255),
                       QStringLiteral("Visit our Website!"));
    cmdConvert = named(new QPushButton(QStringLiteral("Convert!"), this), "cmdConvert", twips(4200, 5280, 3255, 255),
                       QStringLiteral("Start the conversion process."));
}

// The web link: the makers' address, white at rest, blue under the pointer.
QLabel *Frm_Converter::createLblIpGrelm()
{
    auto *link = new WebLinkLabel(kMakersWebAddress, this);
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return link;
}

void Frm_Converter::setTabOrder()
{
    // Keyboard focus order; labels and lines take no focus, disabled and hidden
    // controls are passed over.
    const QList<QWidget *> order = {TxtSetFolder, txtPicturesFound, CmdSetFolder, chkThumbs, txtThumbs,
                                    cmdConvert,   PLogo,            picProgress,  Aboutbox,  chkDelSource};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    txtPicturesFound->setFocus();
}

void Frm_Converter::connectHandlers()
{
    connect(cmdConvert, &QPushButton::clicked, this, &Frm_Converter::cmdConvert_Click);
    connect(CmdSetFolder, &QPushButton::clicked, this, &Frm_Converter::CmdSetFolder_Click);
    connect(Aboutbox, &QPushButton::clicked, this, &Frm_Converter::Aboutbox_Click);
    // Text put into the box other than by setGameFolderText is taken as it stands.
    connect(TxtSetFolder, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text != m_gameFolder.shownText())
            m_gameFolder = FilePath::fromEscapedText(text);
    });
}

} // namespace grelm
