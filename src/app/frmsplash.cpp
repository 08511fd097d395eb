// SPDX-License-Identifier: MIT
#include "app/frmsplash.h"
#include "app/app.h"
#include "app/frmrightclick.h"
#include "platform/forms/formregistry.h"
#include "artwork/artwork.h"
#include "artwork/palette.h"
#include "platform/system/msgbox.h"
#include "platform/system/services.h"
#include "platform/system/trace.h"
#include "platform/forms/twips.h"
#include "version.h"

#include <QKeyEvent>
#include <QPainter>

namespace zentyr {

namespace {
Label *makeLabel(QWidget *parent, const char *name, const char *caption, const QRectF &twips)
{
    auto *lbl = new Label(parent, QString::fromLatin1(name));
    setGeometryTwips(lbl, twips);
    lbl->setCaption(QString::fromUtf8(caption));
    return lbl;
}

// A banner text in white, in bold Arial of the given size (none: the window's own font).
Label *bannerLabel(QWidget *parent, const char *name, const char *caption, const QRectF &twips, double arialPoints,
                   Qt::Alignment align, bool autoSize)
{
    Label *lbl = makeLabel(parent, name, caption, twips);
    lbl->setFont(arialPoints > 0 ? designFont(QStringLiteral("Arial"), arialPoints, true) : parent->font());
    lbl->setColors(QColor(0xFF, 0xFF, 0xFF));
    lbl->setAlignment(align);
    lbl->setAutoSize(autoSize);
    return lbl;
}

// A help text on its own background, across the window.
Label *helpLabel(QWidget *parent, const char *name, float top, float height, Qt::Alignment align, const char *caption)
{
    Label *lbl = makeLabel(parent, name, caption, {240, top, 7095, height});
    lbl->setColors(QColor(0, 0, 0), artwork::palette::HelpBack); // text in the button-text colour
    lbl->setAlignment(align);
    return lbl;
}

} // namespace

frmSplash::frmSplash() : Form(QStringLiteral("frmSplash"), Border::FixedDialog, QSizeF(7650, 3765))
{
    setBackColor(QColor(0, 0, 0));
    setWindowIcon(artwork::programIcon());
    setActivateOnShow(true);
    setWindowKind(WindowKind::Splash); // ShowInfoScreen makes it a dialog
    client()->setFont(designFont(QStringLiteral("MS Sans Serif"), 8.25));
    QWidget *c = client();

    // Back to front: the steel rule, the ruler strip, then labels and buttons.
    // The ruler strip comes from the artwork cache; the steel rule is drawn at each paint, which is rare.
    Image1 = new ImageControl(c, QStringLiteral("Image1"), [this](QPainter &p, const QRect &) {
        artwork::paintSteelRuleSlice(p, QRectF(-Image1->pos(), client()->size()), twipsPerPixelX(), twipsPerPixelY());
    });
    setGeometryTwips(Image1, artwork::steelRuleBoxTwips());
    // The ruler strip under the company name, stretched.
    auto *Image3 = new ImageControl(c, QStringLiteral("Image3"), [](QPainter &p, const QRect &r) {
        p.drawPixmap(r,
                     artwork::stretchedPixmap(artwork::Picture::RulerStrip, r.size(), p.device()->devicePixelRatioF()));
    });
    setGeometryTwips(Image3, artwork::rulerStripBoxTwips());

    bannerLabel(c, "lblCompanyProduct", "Orvane", {240, 240, 2145, 435}, 18, Qt::AlignLeft, true);
    bannerLabel(c, "lblProductName", "Zentyr", {330, 1800, 1755, 510}, 21.75, Qt::AlignHCenter, true);
    bannerLabel(c, "Label6", "(1999-2002)", {2160, 2040, 1335, 255}, 0, Qt::AlignLeft, false);
    bannerLabel(c, "lblPlatform", "Windows 95 && 98", {5400, 2040, 1965, 285}, 12, Qt::AlignRight, true);
    lblVersion = bannerLabel(c, "lblVersion", "Version", {6600, 2400, 720, 240}, 9.75, Qt::AlignRight, true);

    helpLabel(c, "Label2", 4080, 375, Qt::AlignLeft,
              " Zentyr is a resizable drag and drop horizontal and or vertical ruler for your PC's desktop.");
    helpLabel(c, "Label4", 4440, 495, Qt::AlignHCenter,
              "Keep your position on screen when reading and working with documents. Align && organize text, "
              "graphics and other objects on screen.");
    helpLabel(
        c, "Label8", 5040, 735, Qt::AlignHCenter,
        "  Zentyr runs in the system tray next to the time in your taskbar. To access the different rulers, you right "
        "click on its icon in the system tray. You can also right click on each open ruler for a menu of options.");
    helpLabel(c, "Label9", 5760, 375, Qt::AlignHCenter,
              " You can display a picture of your choice on the standard ruler instead of the default graphic.");
    helpLabel(c, "Label5", 6600, 255, Qt::AlignLeft, " Send email to: support@zentyr.example.com");
    helpLabel(c, "Label7", 6840, 255, Qt::AlignLeft, " For help or to have input on future versions.");

    // Buttons made in their tab order: OK (6) before Options (8). Outside a dialog neither is a default
    // button.
    cmdOK = new QPushButton(QStringLiteral("OK"), c);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    setGeometryTwips(cmdOK, {6840, 120, 735, 375});
    cmdOK->setVisible(false);
    auto *cmdOptions = new QPushButton(QStringLiteral("Options"), c);
    cmdOptions->setObjectName(QStringLiteral("cmdOptions"));
    setGeometryTwips(cmdOptions, {120, 3240, 1695, 375});
    connect(cmdOK, &QPushButton::clicked, this, &frmSplash::cmdOK_Click);
    connect(cmdOptions, &QPushButton::clicked, this, &frmSplash::cmdOptions_Click);

    Timer1.setInterval(2000);
    Timer1.setTimerType(Qt::PreciseTimer); // coarse timers may fire 5 % early or late
    connect(&Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    setShowInTaskbar(false);
    setAccessibleName(QStringLiteral("Zentyr information"));
    setAccessibleDescription(QStringLiteral("Version, help and how to reach the makers of Zentyr."));
}

void frmSplash::Form_Load()
{
    if (previousInstanceGuard())
        return;
    Timer1.start();
    lblVersion->setCaption(
        QStringLiteral("Version %1.%2.%3").arg(version::Major).arg(version::Minor).arg(version::Revision));
}

void frmSplash::Timer1_Timer()
{
    unload();
    // Loading the tray controller runs its load handler, which adds the tray icon.
    loadForm<frmRightClick>();
}

void frmSplash::Form_Unload() { Timer1.stop(); }

void frmSplash::cmdOK_Click() { unload(); }

// The Options box, its paragraphs parted by two carriage returns.
void frmSplash::cmdOptions_Click()
{
    services().msgBox(QStringLiteral("HIDE THE RULER AT STARTUP!\r\r"
                                     "Create a shortcut to Zentyr.EXE, then right-click the shortcut's icon.\r\r"
                                     "Select Properties from the context menu that appears, then enter hideruler at "
                                     "the end of the the command line.\r\r"
                                     "For example, the command line would look something like this:\r\r"
                                     "\"C:\\Windows\\Zentyr.exe\" hideruler"),
                      MessageStyle::Plain, QString());
}

// Keys are previewed and none is acted on: Escape must not close the window.
void frmSplash::keyPressEvent(QKeyEvent *e) { e->accept(); }

void frmSplash::paintEvent(QPaintEvent *e)
{
    Form::paintEvent(e);
    // Reported from the event loop, once the children are painted and the window flushed.
    static bool traced = false;
    if (!traced && traceEnabled()) {
        traced = true;
        QTimer::singleShot(0, [] { traceEvent("splash first paint"); });
    }
}

} // namespace zentyr
