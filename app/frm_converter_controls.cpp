// Builds the main window's controls: names, captions, tooltips, places, colours.
#include "app/frm_converter.h"


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

#include <type_traits>
#include <variant>

namespace grelm {

namespace {

// How a control is drawn beyond its type: a label's text colour (white when
// plain), the banner picture or the web link.
enum class ControlLook { Plain, LightText, HighlightedText, Banner, WebLink };

// What differs at the start from a shown, enabled control.
enum class ControlStart { Shown, Hidden, Disabled, ReadOnly };

// Places are given in twips, 15 to a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QPoint twipPoint(int x, int y) { return QPoint(x / 15, y / 15); }

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

// The web link: the makers' address, white at rest, blue under the pointer.
QLabel *webLink(QWidget *parent)
{
    auto *link = new WebLinkLabel(kMakersWebAddress, parent);
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return link;
}

QLabel *labelOfLook(ControlLook look, const QString &text, QWidget *window)
{
    switch (look) {
    case ControlLook::Banner:
        return logo(window);
    case ControlLook::WebLink:
        return webLink(window);
    case ControlLook::LightText:
        return label(text, window->palette().color(QPalette::Light), window);
    case ControlLook::HighlightedText:
        return label(text, window->palette().color(QPalette::HighlightedText), window);
    case ControlLook::Plain:
        break;
    }
    return label(text, Qt::white, window);
}

// A control of type W with its text and look, not yet named or placed.
template <typename W>
W *make(ControlLook look, const char *text, QWidget *window)
{
    const QString caption = QString::fromUtf8(text);
    if constexpr (std::is_same_v<W, QLabel>)
        return labelOfLook(look, caption, window);
    else if constexpr (std::is_same_v<W, QCheckBox>)
        return checkBox(caption, window);
    else if constexpr (std::is_same_v<W, ProgressPicture>)
        return new ProgressPicture(window);
    else
        return new W(caption, window);
}

void setStart(QWidget *control, ControlStart start)
{
    switch (start) {
    case ControlStart::Shown:
        break;
    case ControlStart::Hidden:
        control->hide();
        break;
    case ControlStart::Disabled:
        control->setEnabled(false);
        break;
    case ControlStart::ReadOnly:
        qobject_cast<QLineEdit *>(control)->setReadOnly(true);
        break;
    }
}

} // namespace

// One control of the window: the member that keeps it, its name, its place,
// its look, its text and tooltip, and how it starts.
struct Frm_Converter::Control {
    std::variant<QLabel *Frm_Converter::*, QLineEdit *Frm_Converter::*, QPushButton *Frm_Converter::*,
                 QCheckBox *Frm_Converter::*, ProgressPicture *Frm_Converter::*>
        member;
    const char *name;
    QRect place;
    ControlLook look = ControlLook::Plain;
    const char *text = nullptr;
    const char *toolTip = nullptr;
    ControlStart start = ControlStart::Shown;
};

// Every control but the lines, in the order they are made: a later one lies over an earlier one.
const Frm_Converter::Control Frm_Converter::kControls[] = {
    {&Frm_Converter::PLogo, "PLogo", twips(120, 120, 7335, 1215), ControlLook::Banner, nullptr,
     "The GRELM Screenshot converter uses leet (L337) mouseoverhelp technology. Note that use of this program "
     "requires: A functioning cerebrum, some mouse and keyboard skills."},
    {&Frm_Converter::LblDefaultF, "LblDefaultF", twips(120, 1440, 7335, 255), ControlLook::LightText},
    {&Frm_Converter::TxtSetFolder, "TxtSetFolder", twips(120, 1800, 4095, 285), ControlLook::Plain, nullptr,
     "Current path to your Half-Life Installation.", ControlStart::Disabled},
    {&Frm_Converter::CmdSetFolder, "CmdSetFolder", twips(4320, 1800, 1575, 255), ControlLook::Plain, "Set Folder",
     "Opens a dialog box to set the drive and folder of your Half-Life / game installation."},

    {&Frm_Converter::lblPictures, "lblPictures", twips(120, 2640, 1215, 255), ControlLook::Plain, "Pictures Found"},
    {&Frm_Converter::txtPicturesFound, "txtPicturesFound", twips(1320, 2640, 495, 285), ControlLook::Plain, nullptr,
     "This will display the number of pics taking up room in your Half-Life or Counter-Strike Installation folder "
     "(if any).",
     ControlStart::ReadOnly},

    {&Frm_Converter::Label1, "Label1", twips(4200, 2640, 3255, 255), ControlLook::Plain, "Thumbnails",
     "This is the thumbnail section...duh."},
    {&Frm_Converter::chkThumbs, "chkThumbs", twips(4200, 3000, 3255, 255), ControlLook::Plain, "Create Thumbnails",
     "Create little thumbnails of the pictures after conversion. They always go to the \\thumbs folder in your root "
     "Half Life install. By default it's c:\\sierra\\half-life\\thumbs."},
    {&Frm_Converter::lblThumbsSize, "lblThumbsSize", twips(4200, 3360, 1335, 255), ControlLook::LightText,
     "Thumbnail Width"},
    {&Frm_Converter::txtThumbs, "txtThumbs", twips(5520, 3360, 615, 285), ControlLook::Plain, "70",
     "Set the width of your thumbnail pictures here. Note that the height will be proportional to the width. This "
     "is done to avoid having folks deform their pics by doing something silly, like having 100 pixel by 10 pixel "
     "screenshots."},

    {&Frm_Converter::lblProgress, "lblProgress", twips(4200, 3960, 1905, 225), ControlLook::HighlightedText,
     "Converting...", nullptr, ControlStart::Hidden},
    {&Frm_Converter::picProgress, "picProgress", twips(4200, 4320, 3270, 255), ControlLook::Plain, nullptr, nullptr,
     ControlStart::Hidden},

    {&Frm_Converter::Aboutbox, "Aboutbox", twips(120, 4920, 1695, 255), ControlLook::Plain, "About Snapmill",
     "Who's responsible for this atrocity!"},
    {&Frm_Converter::chkDelSource, "chkDelSource", twips(4200, 4920, 3255, 255), ControlLook::Plain,
     "Delete Source Pictures", "Delete the source Bitmaps after converting them to JPEG."},
    {&Frm_Converter::LblIpGrelm, "LblIpGrelm", twips(120, 5280, 2535, 255), ControlLook::WebLink, nullptr,
     "Visit our Website!"},
    {&Frm_Converter::cmdConvert, "cmdConvert", twips(4200, 5280, 3255, 255), ControlLook::Plain, "Convert!",
     "Start the conversion process."},
};

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

    for (const Control &c : kControls) {
        std::visit(
            [&]<typename W>(W *Frm_Converter::*member) {
                W *control = make<W>(c.look, c.text, this);
                control->setObjectName(QLatin1String(c.name));
                control->setGeometry(c.place);
                control->setToolTip(QString::fromUtf8(c.toolTip));
                setStart(control, c.start);
                this->*member = control;
            },
            c.member);
    }
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
