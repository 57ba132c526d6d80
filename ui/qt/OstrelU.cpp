// SPDX-License-Identifier: MIT
#include "ui/qt/OstrelU.h"

#include "engine/calculate.h"
#include "settings/settings_file.h"
#include "text/decimal.h"
#include "text/present.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/application.h"
#include "ui/qt/box_accessible.h"
#include "ui/qt/platform.h"
#include "ui/qt/window_style.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace cttax {

namespace {

constexpr int kClientWidth = kClientSize.width;
constexpr int kClientHeight = kClientSize.height;

// Labels size themselves to their caption. Where this desktop's font draws
// the caption wider than the design (the dot runs add up), the letters move
// closer so the caption ends where the design has it, clear of its box.
QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, int left, int top, int designWidth,
                  QFont font)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    const int natural = QFontMetrics(font).horizontalAdvance(caption);
    if (natural > designWidth && caption.size() > 1)
        font.setLetterSpacing(QFont::AbsoluteSpacing, -static_cast<double>(natural - designWidth) / (caption.size() - 1));
    label->setFont(font);
    label->adjustSize();
    label->move(left, top);
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, int left, int top, bool readOnly)
{
    // The text comes after the font: one layout of it, in the box's own face.
    auto *edit = new AmountBox(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, 113, 27);
    edit->setFont(pixelFont("Arial", 16, true));
    edit->setText(kPlaceholder);
    edit->setReadOnly(readOnly);
    // No limit on length (QLineEdit's default would cut silently at 32767).
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setPalette(readOnly ? withBase(edit->palette(), QColor(0, 255, 255), QColor(0, 0, 255))
                              : withBase(edit->palette(), QColor(255, 255, 255), windowTextColor()));
    return edit;
}

} // namespace

void useLocaleDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    setDecimalSeparator(point.isEmpty() ? std::string(".") : point.toStdString());
}

TOstrelF::TOstrelF(Platform &platform, QString applicationTitle, SettingsLocation settings, TOstrelFhelp *help,
                   QWidget *parent)
    : QMainWindow(parent), MainForm(*this, applicationTitle.toStdString(), std::move(settings)),
      platform_(platform), help_(help)
{
    setObjectName("OstrelF");
    installAmountBoxAccessibility();
    buildControls();
    buildMenu();
    FormCreate();
}

void TOstrelF::buildControls()
{
    setWindowTitle("Kaldo 2011");
    setWindowIcon(applicationIcon());
    setFont(pixelFont("Lucida Handwriting", 35, true));
    setPalette(withText(withBackground(palette(), appWorkspaceColor()), windowTextColor()));
    move(kDesignPosition.x, kDesignPosition.y);

    auto *client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    const QFont captionFont = pixelFont("Arial", 16, true);
    Label1 = makeLabel(client, "Label1", "Connecticut State Resident Income Tax", 53, 12, 396,
                       pixelFont("Arial", 21, true, true));
    Label2 = makeLabel(client, "Label2", "CT Adjusted Gross Income", 12, 57, 203, captionFont);
    Label3 = makeLabel(client, "Label3", "$", 38, 90, 9, captionFont);
    Edit1 = makeEdit(client, "Edit1", 54, 86, false);
    Label4 = makeLabel(client, "Label4", "CT Property Tax Paid", 12, 155, 161, captionFont);
    Label5 = makeLabel(client, "Label5", "$", 38, 182, 9, captionFont);
    Edit2 = makeEdit(client, "Edit2", 54, 178, false);
    Edit1->setAccessibleName(Label2->text());
    Edit2->setAccessibleName(Label4->text());

    RadioStatus = new RadioGroup("Select Filing Status", {"Single", "Married", "Separately", "Household"}, client);
    RadioStatus->setObjectName("RadioStatus");
    RadioStatus->setGeometry(248, 54, 209, 160);
    RadioStatus->setFont(captionFont);
    // The group's colours are fixed, its items' indicators with them: white
    // discs with black dots on the light blue, under any desktop palette.
    RadioStatus->setPalette(withBase(fixedTextPalette(RadioStatus->palette(), inactiveGradientColor(), windowTextColor()),
                                     QColor(255, 255, 255), windowTextColor()));
    RadioStatus->setAutoFillBackground(true);
    RadioStatus->setAccessibleName("Select Filing Status");
    // One column, the items spread evenly below the caption.
    constexpr int kItemsTop = 24;
    const int step = (160 - kItemsTop) / RadioStatus->count();
    for (int i = 0; i < RadioStatus->count(); ++i) {
        QRadioButton *item = RadioStatus->item(i);
        item->setFont(captionFont);
        item->setGeometry(10, kItemsTop + i * step, 190, step);
    }

    Panel1 = new QFrame(client);
    Panel1->setObjectName("Panel1");
    Panel1->setGeometry(12, 240, 477, 265);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setPalette(withText(withBackground(Panel1->palette(), QColor(128, 128, 128)), QColor(0, 0, 128)));
    Panel1->setAutoFillBackground(true);

    std::array<QLabel **, 6> labels = {&Label6, &Label7, &Label8, &Label9, &Label10, &Label11};
    std::array<QLineEdit **, 6> results = {&Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
    const char *labelNames[] = {"Label6", "Label7", "Label8", "Label9", "Label10", "Label11"};
    const char *resultNames[] = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8"};
    const int labelTops[] = {17, 58, 99, 140, 181, 222};
    const int labelWidths[] = {325, 326, 319, 324, 322, 324};
    const int editTops[] = {15, 56, 97, 138, 179, 220};
    for (std::size_t i = 0; i < results.size(); ++i) {
        const QString caption = kPresentedResults[i].caption;
        *labels[i] = makeLabel(Panel1, labelNames[i], caption, 16, labelTops[i], labelWidths[i], captionFont);
        *results[i] = makeEdit(Panel1, resultNames[i], 347, editTops[i], true);
        (*results[i])->setAccessibleName(QString::fromStdString(accessibleNameOf(caption.toStdString())));
    }

    // Tab order: the status group, the AGI box, the results, the property tax box.
    QWidget *order[] = {RadioStatus->item(0), RadioStatus->item(1), RadioStatus->item(2), RadioStatus->item(3),
                        Edit1, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit1Change(); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit2Change(); }); });
    connect(RadioStatus, &RadioGroup::itemSelected, this, [this] { guarded([this] { RadioStatusClick(); }); });
}

void TOstrelF::buildMenu()
{
    MainMenu = menuBar();
    MainMenu->setObjectName("MainMenu");
    MainMenu->setFont(QApplication::font("QMenuBar")); // not the window's own font
    // The menu bar stands on the window's fixed grey: its text is the fixed
    // window text, whatever colours a dark desktop palette would give it.
    MainMenu->setPalette(fixedTextPalette(MainMenu->palette(), appWorkspaceColor(), windowTextColor()));
    File1 = MainMenu->addMenu("&File");
    File1->setObjectName("File1");
    Exit1 = File1->addAction("&Exit");
    Exit1->setObjectName("Exit1");
    Help1 = MainMenu->addAction("&Help");
    Help1->setObjectName("Help1");
    KaldoHomePage1 = MainMenu->addAction("&Kaldo Home Page");
    KaldoHomePage1->setObjectName("KaldoHomePage1");
    connect(Exit1, &QAction::triggered, this, [this] { guarded([this] { Exit1Click(); }); });
    connect(Help1, &QAction::triggered, this, [this] { guarded([this] { Help1Click(); }); });
    connect(KaldoHomePage1, &QAction::triggered, this, [this] { guarded([this] { KaldoHomePage1Click(); }); });
    // The outer size is fixed: the client area with the menu bar above it.
    setFixedSize(kClientWidth, kClientHeight + MainMenu->sizeHint().height());
}

// A text the program writes shows from its start, as a form's box does; a
// result wider than its box shows its leading digits, not its tail.
void TOstrelF::writeBox(QLineEdit *box, const QString &text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

// ---------------------------------------------------------------- the view

std::string TOstrelF::inputText(Input input) const
{
    return box(input)->text().toStdString();
}

void TOstrelF::writeInput(Input input, const std::string &text)
{
    // QLineEdit notifies only a text that differs, as the behaviour expects.
    writeBox(box(input), QString::fromStdString(text));
}

void TOstrelF::writeResult(std::size_t row, const std::string &text)
{
    QLineEdit *const boxes[] = {Edit3, Edit4, Edit5, Edit6, Edit7, Edit8};
    writeBox(boxes[row], QString::fromStdString(text));
}

int TOstrelF::statusIndex() const
{
    return RadioStatus->itemIndex();
}

void TOstrelF::setStatusIndex(int index)
{
    RadioStatus->setItemIndex(index);
}

void TOstrelF::warn(const std::string &text)
{
    platform_.warn(this, QString::fromStdString(text));
}

void TOstrelF::reportError(const std::string &title, const std::string &text)
{
    platform_.reportError(QString::fromStdString(title), QString::fromStdString(text));
}

void TOstrelF::beep()
{
    platform_.beep();
}

void TOstrelF::openUrl(const std::string &address)
{
    platform_.openUrl(QUrl(QString::fromStdString(address)));
}

void TOstrelF::showHelp()
{
    help_->showInFront();
}

void TOstrelF::requestClose()
{
    close();
}

void TOstrelF::placeFrame(ScreenPoint position)
{
    platform_.placeFrame(this, QPoint(position.x, position.y));
}

std::optional<ScreenPoint> TOstrelF::framePosition() const
{
    const std::optional<QPoint> at = platform_.framePosition(this);
    if (!at)
        return std::nullopt;
    return ScreenPoint{at->x(), at->y()};
}

// The frame's size, or before a window manager has framed the window (as
// at loading), the client's with room for a usual frame and title bar.
ScreenSize TOstrelF::frameSize() const
{
    QSize frame = frameGeometry().size();
    if (frame == size())
        frame = size() + QSize(2 * kUsualFrameBorder, kTitleStripHeight + kUsualFrameBorder);
    return {frame.width(), frame.height()};
}

std::vector<ScreenArea> TOstrelF::screenAreas() const
{
    std::vector<ScreenArea> areas;
    for (const QRect &area : platform_.screenAreas())
        areas.push_back({area.left(), area.top(), area.width(), area.height()});
    return areas;
}

// ---------------------------------------------------------------- events

void TOstrelF::showEvent(QShowEvent *event)
{
    // Runs before the window is first drawn, and only for the first showing:
    // restoring a minimised window loads nothing.
    if (!shown_ && !event->spontaneous()) {
        shown_ = true;
        guarded([this] { FormShow(); });
        // Typing starts with the filing status, the first stop of the tab
        // order: its selected item, or the first where none is.
        RadioStatus->item(std::max(0, RadioStatus->itemIndex()))->setFocus(Qt::OtherFocusReason);
    }
    QMainWindow::showEvent(event);
}

void TOstrelF::endSession()
{
    endingSession_ = true;
    close();
}

void TOstrelF::closeEvent(QCloseEvent *event)
{
    if (endingSession_)
        saveAtSessionEnd();
    else
        guarded([this] { FormClose(); });
    // The close always goes through, also after a failed save: the error has
    // been reported, and the user must always be able to leave.
    event->accept();
    QCoreApplication::quit();
}

void TOstrelF::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        useLocaleDecimalSeparator();
    QMainWindow::changeEvent(event);
}

} // namespace cttax
