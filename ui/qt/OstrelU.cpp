// SPDX-License-Identifier: MIT
#include "ui/qt/OstrelU.h"

#include "engine/calculate.h"
#include "settings/settings_file.h"
#include "text/decimal.h"
#include "text/present.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/application.h"
#include "ui/qt/box_accessible.h"
#include "ui/qt/desktop.h"
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
QLabel *makeLabel(QWidget *parent, const layout::Control &c)
{
    const QString caption = c.caption;
    auto *label = new QLabel(caption, parent);
    label->setObjectName(c.name);
    QFont font = fontOf(*c.face);
    const int natural = QFontMetrics(font).horizontalAdvance(caption);
    if (natural > c.width && caption.size() > 1)
        font.setLetterSpacing(QFont::AbsoluteSpacing, -static_cast<double>(natural - c.width) / (caption.size() - 1));
    label->setFont(font);
    label->adjustSize();
    label->move(c.left, c.top);
    return label;
}

QLineEdit *makeEdit(QWidget *parent, const layout::Control &c)
{
    // The text comes after the font: one layout of it, in the box's own face.
    auto *edit = new AmountBox(parent);
    edit->setObjectName(c.name);
    edit->setGeometry(c.left, c.top, c.width, c.height);
    edit->setFont(fontOf(*c.face));
    edit->setText(kPlaceholder);
    edit->setReadOnly(c.role == layout::Role::Result);
    // No limit on length (QLineEdit's default would cut silently at 32767).
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setPalette(withBase(edit->palette(), colourOf(c.look->background), colourOf(c.look->text)));
    return edit;
}

} // namespace

// The decimal symbol of the system's locale.
void TOstrelF::useLocaleDecimalSymbol()
{
    setDecimalSymbol(QLocale::system().decimalPoint().toStdString());
}

TOstrelF::TOstrelF(FormDesktop &desktop, QString applicationTitle, SettingsLocation settings, TOstrelFhelp *help,
                   QWidget *parent)
    : QMainWindow(parent), MainForm(*this, *this, desktop, applicationTitle.toStdString(), std::move(settings)),
      help_(help)
{
    setObjectName("OstrelF");
    installAmountBoxAccessibility();
    useLocaleDecimalSymbol();
    buildControls();
    buildMenu();
    FormCreate();
}

void TOstrelF::buildControls()
{
    setWindowTitle(layout::kWindowTitle);
    setWindowIcon(applicationIcon());
    setFont(fontOf(layout::kWindowFace));
    setPalette(withText(withBackground(palette(), colourOf(layout::kWindowLook.background)),
                        colourOf(layout::kWindowLook.text)));
    move(kDesignPosition.x, kDesignPosition.y);

    auto *client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    QList<QWidget *> order; // the tab order: the table's
    QString lastCaption;    // a box is named by the label before it
    for (const layout::Control &c : layout::kControls) {
        QWidget *parent = c.parent == layout::Parent::Panel ? static_cast<QWidget *>(Panel1) : client;
        switch (c.role) {
        case layout::Role::Group: {
            QStringList items;
            for (const char *item : layout::kStatusItems)
                items << item;
            RadioStatus = new RadioGroup(c.caption, items, client);
            RadioStatus->setObjectName(c.name);
            RadioStatus->setGeometry(c.left, c.top, c.width, c.height);
            RadioStatus->setFont(fontOf(*c.face));
            // The group's colours are fixed, its items' indicators with them:
            // white discs with black dots on the light blue, under any
            // desktop palette.
            const QColor text = colourOf(c.look->text);
            RadioStatus->setPalette(withBase(fixedTextPalette(RadioStatus->palette(), colourOf(c.look->background), text),
                                             QColor(255, 255, 255), text));
            RadioStatus->setAutoFillBackground(true);
            RadioStatus->setAccessibleName(c.caption);
            break;
        }
        case layout::Role::Item: {
            QRadioButton *item = RadioStatus->item(static_cast<int>(order.size()));
            item->setFont(fontOf(*c.face));
            item->setGeometry(c.left, c.top, c.width, c.height);
            order << item;
            break;
        }
        case layout::Role::Panel:
            Panel1 = new QFrame(client);
            Panel1->setObjectName(c.name);
            Panel1->setGeometry(c.left, c.top, c.width, c.height);
            Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
            Panel1->setLineWidth(1);
            Panel1->setPalette(withText(withBackground(Panel1->palette(), colourOf(c.look->background)),
                                        colourOf(c.look->text)));
            Panel1->setAutoFillBackground(true);
            break;
        case layout::Role::Label:
            *labelSlot(c.name) = makeLabel(parent, c);
            if (std::string_view(c.caption) != "$")
                lastCaption = c.caption;
            break;
        case layout::Role::Input:
        case layout::Role::Result: {
            QLineEdit *box = *boxSlot(c.name) = makeEdit(parent, c);
            box->setAccessibleName(QString::fromStdString(accessibleNameOf(lastCaption.toStdString())));
            order << box;
            break;
        }
        }
    }
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(Edit1, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit1Change(); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { guarded([this] { Edit2Change(); }); });
    connect(RadioStatus, &RadioGroup::itemSelected, this, [this] { guarded([this] { RadioStatusClick(); }); });
}

// The member that holds the label or box of that name.
QLabel **TOstrelF::labelSlot(std::string_view name)
{
    QLabel **const labels[] = {&Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9, &Label10, &Label11};
    return labels[std::stoi(std::string(name.substr(5))) - 1];
}

QLineEdit **TOstrelF::boxSlot(std::string_view name)
{
    QLineEdit **const boxes[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
    return boxes[std::stoi(std::string(name.substr(4))) - 1];
}

void TOstrelF::buildMenu()
{
    MainMenu = menuBar();
    MainMenu->setObjectName("MainMenu");
    MainMenu->setFont(QApplication::font("QMenuBar")); // not the window's own font
    // The menu bar stands on the window's fixed grey: its text is the fixed
    // window text, whatever colours a dark desktop palette would give it.
    MainMenu->setPalette(fixedTextPalette(MainMenu->palette(), colourOf(layout::kWindowLook.background),
                                          colourOf(layout::kWindowLook.text)));
    File1 = MainMenu->addMenu(layout::kFileMenu);
    File1->setObjectName("File1");
    Exit1 = File1->addAction(layout::kExitCommand);
    Exit1->setObjectName("Exit1");
    Help1 = MainMenu->addAction(layout::kHelpCommand);
    Help1->setObjectName("Help1");
    KaldoHomePage1 = MainMenu->addAction(layout::kHomePageCommand);
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

void TOstrelF::focusStatusItem(int index)
{
    RadioStatus->item(index)->setFocus(Qt::OtherFocusReason);
}

void TOstrelF::setStatusIndex(int index)
{
    RadioStatus->setItemIndex(index);
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
    placeFrameOf(this, QPoint(position.x, position.y));
}

std::optional<ScreenPoint> TOstrelF::framePosition() const
{
    const std::optional<QPoint> at = framePositionOf(this);
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

// ---------------------------------------------------------------- events

void TOstrelF::showEvent(QShowEvent *event)
{
    // Runs before the window is first drawn, and only for the first showing:
    // restoring a minimised window loads nothing.
    if (!loaded() && !event->spontaneous()) {
        loadOnce();
        focusFirst();
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
    closing(endingSession_);
    event->accept(); // always
    QCoreApplication::quit();
}

void TOstrelF::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        useLocaleDecimalSymbol();
    QMainWindow::changeEvent(event);
}

} // namespace cttax
