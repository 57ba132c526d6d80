// SPDX-License-Identifier: MIT
#include "tests/support/files.h"
#include "tests/qt/window_fixture.h"
#include "text/decimal.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/application.h"
#include "ui/qt/window_style.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

using namespace cttax;

namespace {

QStringList resultTexts(const TOstrelF &w)
{
    return {w.Edit3->text(), w.Edit4->text(), w.Edit5->text(), w.Edit6->text(), w.Edit7->text(), w.Edit8->text()};
}

// The window driven by QTest; what the platform saw before a test's first
// step is forgotten.
class MainWindow : public WindowFixture {
protected:
    TOstrelF &open(bool show = true)
    {
        TOstrelF &w = WindowFixture::open(show);
        desktop.calls.clear();
        return w;
    }
    void type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    // Married, AGI 60000, property tax 1200, typed as a person would.
    TOstrelF &openWithMarried60000()
    {
        TOstrelF &w = open();
        w.RadioStatus->item(1)->click();
        type(w.Edit1, "60000");
        type(w.Edit2, "1200");
        return w;
    }
};

TEST_F(MainWindow, StartsWithPlaceholdersAndNoStatusUntilShown)
{
    TOstrelF &w = open(false);
    for (QLineEdit *e : {w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6, w.Edit7, w.Edit8})
        EXPECT_EQ(e->text(), "123456789.00");
    EXPECT_EQ(w.RadioStatus->itemIndex(), -1);
    EXPECT_EQ(w.windowTitle(), "Kaldo 2011");
    EXPECT_EQ(w.taxState().filingStatus, Single);
}

TEST_F(MainWindow, FirstShowWithoutSettingsComputesForZero)
{
    TOstrelF &w = open();
    EXPECT_EQ(w.Edit1->text(), "0");
    EXPECT_EQ(w.Edit2->text(), "0");
    EXPECT_EQ(w.RadioStatus->itemIndex(), 0);
    EXPECT_EQ(resultTexts(w), QStringList({"13000", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(w.pos(), QPoint(10, 10));
}

struct TypingCase {
    const char *name;
    int status;
    const char *agi, *propertyTax;
    QStringList results;
    int warnings;
};

class Typing : public MainWindow, public testing::WithParamInterface<TypingCase> {};

TEST_P(Typing, ShowsTheSixResults)
{
    const TypingCase &c = GetParam();
    TOstrelF &w = open();
    w.RadioStatus->item(c.status)->click();
    type(w.Edit1, c.agi);
    type(w.Edit2, c.propertyTax);
    desktop.calls.clear();
    type(w.Edit1, c.agi); // once more, now with the property tax in place
    EXPECT_EQ(resultTexts(w), c.results);
    EXPECT_EQ(desktop.calls.count("warn: Error in CT AGI entry."), c.warnings);
    EXPECT_EQ(desktop.calls.count("beep"), c.warnings);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, Typing, testing::Values(
    TypingCase{"single_16300", 0, "16300", "0", {"13000", "99", "0.75", "74", "0", "25"}, 0},
    TypingCase{"married_60000", 1, "60000", "1200", {"12000", "2000", "0.1", "200", "500", "1300"}, 0},
    TypingCase{"household_40000", 3, "40000", "0", {"17000", "830", "0.15", "124", "0", "706"}, 0},
    TypingCase{"half_to_even_302", 0, "23050", "0", {"13000", "302", "0.2", "60", "0", "242"}, 0},
    TypingCase{"exponent_text", 2, "3e4", "3e2", {"6000", "1000", "0.1", "100", "300", "600"}, 1},
    TypingCase{"trailing_blank_warns_once_per_change", 0, "16300 ", "0", {"13000", "99", "0.75", "74", "0", "25"}, 1},
    TypingCase{"thousands_separator_keeps_digits_before", 0, "1,234", "0", {"13000", "0", "0", "0", "0", "0"}, 4}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainWindow, EmptyBoxAndLoneMinusWarnThenComputeForZero)
{
    TOstrelF &w = open();
    type(w.Edit1, "40000");
    desktop.calls.clear();
    w.Edit1->selectAll();
    QTest::keyClick(w.Edit1, Qt::Key_Delete);
    EXPECT_EQ(desktop.calls, QStringList({"warn: Error in CT AGI entry.", "beep"}));
    EXPECT_EQ(w.Edit4->text(), "0");

    desktop.calls.clear();
    QTest::keyClicks(w.Edit1, "-5");
    EXPECT_EQ(desktop.calls, QStringList({"warn: Error in CT AGI entry.", "beep"})); // only for the lone "-"
    EXPECT_EQ(w.taxState().agi, -5);
    EXPECT_EQ(w.Edit3->text(), "13000");

    desktop.calls.clear();
    type(w.Edit2, "$");
    EXPECT_EQ(desktop.calls, QStringList({"warn: Error in CT PROPERTY TAX entry.", "beep"}));
}

TEST_F(MainWindow, ProgramWriteOfTheSameTextRaisesNothing)
{
    TOstrelF &w = open();
    type(w.Edit1, "1,5");
    desktop.calls.clear();
    w.Edit1->setText("1,5");
    EXPECT_TRUE(desktop.calls.isEmpty());
}

// No length limit: a megabyte pasted is taken whole.
TEST_F(MainWindow, PastedMegabyteIsTakenWhole)
{
    TOstrelF &w = open();
    QGuiApplication::clipboard()->setText(QString(1048575, '0') + "5");
    w.Edit1->selectAll();
    w.Edit1->paste();
    EXPECT_EQ(w.Edit1->text().size(), 1048576);
    EXPECT_TRUE(w.taxState().agi == 5);
}

TEST_F(MainWindow, RadioGroupClampsAndRunsOnlyOnARealMove)
{
    TOstrelF &w = open();
    type(w.Edit1, "30000");
    w.RadioStatus->setItemIndex(7);
    EXPECT_EQ(w.RadioStatus->itemIndex(), 3);
    EXPECT_EQ(w.taxState().filingStatus, Household);
    EXPECT_EQ(w.Edit3->text(), "19000");

    w.Edit3->setText("sentinel"); // a recomputation would overwrite it
    w.RadioStatus->item(3)->click();
    w.RadioStatus->setItemIndex(3);
    EXPECT_EQ(w.Edit3->text(), "sentinel");

    w.RadioStatus->setItemIndex(-5);
    EXPECT_EQ(w.RadioStatus->itemIndex(), -1);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w.RadioStatus->item(i)->isChecked());
    EXPECT_EQ(w.Edit3->text(), "sentinel");
    EXPECT_EQ(w.taxState().filingStatus, Household);

    w.RadioStatus->item(1)->click();
    EXPECT_EQ(w.Edit3->text(), "24000");
}

TEST_F(MainWindow, DisplayFailureStopsAtTheRowAndReportsOnce)
{
    TOstrelF &w = open();
    type(w.Edit1, "16300");
    desktop.calls.clear();
    w.Edit1->setText("1e21");
    EXPECT_EQ(desktop.calls, QStringList({"error: Cttax | Invalid floating point operation."}));
    EXPECT_EQ(resultTexts(w), QStringList({"0", "99", "0.75", "74", "0", "25"}));

    desktop.calls.clear();
    w.Edit1->setText("1e9999"); // infinity times a credit decimal of 0
    EXPECT_EQ(desktop.calls, QStringList({"error: Cttax | Invalid floating point operation."}));
    EXPECT_EQ(resultTexts(w), QStringList({"0", "99", "0.75", "74", "0", "25"}));

    desktop.calls.clear();
    w.Edit1->setText("9e4932"); // the conversion itself overflows: the input keeps its value
    EXPECT_EQ(desktop.calls, QStringList({"error: Cttax | Floating point overflow."}));
    EXPECT_TRUE(isInfinite(w.taxState().agi));
}

TEST_F(MainWindow, CommaLocaleShowsCommaAndAcceptsIt)
{
    TOstrelF &w = open(false);
    w.setDecimalSymbol(",");
    w.show();
    type(w.Edit1, "16300,5");
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_EQ(w.taxState().agi, 16300.5L);
    EXPECT_EQ(w.Edit5->text(), "0,7");
    type(w.Edit1, "16300.5");
    EXPECT_TRUE(desktop.calls.isEmpty());
}

TEST_F(MainWindow, TabGoesThroughTheResultsBeforeThePropertyTax)
{
    TOstrelF &w = open();
    QStringList visited;
    QWidget *widget = w.Edit1;
    while (visited.size() < 7) {
        widget = widget->nextInFocusChain();
        if (widget->focusPolicy() & Qt::TabFocus)
            visited << widget->objectName();
    }
    EXPECT_EQ(visited, QStringList({"Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit2"}));
}

TEST_F(MainWindow, ResultBoxesAreReadOnlyAndNamedForScreenReaders)
{
    TOstrelF &w = open();
    QTest::keyClicks(w.Edit4, "123");
    EXPECT_EQ(w.Edit4->text(), "0");
    EXPECT_EQ(w.Edit1->accessibleName(), "CT Adjusted Gross Income");
    EXPECT_EQ(w.Edit5->accessibleName(), "Tax Credit Decimal Table C");
    EXPECT_EQ(w.Edit7->accessibleName(), "Property Tax Credit Allowance");
    EXPECT_EQ(w.RadioStatus->accessibleName(), "Select Filing Status");
}

TEST_F(MainWindow, LayoutFollowsTheDesign)
{
    TOstrelF &w = open();
    EXPECT_EQ(w.centralWidget()->size(), QSize(502, 523));
    EXPECT_EQ(w.Edit1->geometry(), QRect(54, 86, 113, 27));
    EXPECT_EQ(w.Edit8->geometry(), QRect(347, 220, 113, 27));
    EXPECT_EQ(w.Edit8->parentWidget(), w.Panel1);
    EXPECT_EQ(w.RadioStatus->geometry(), QRect(248, 54, 209, 160));
    EXPECT_EQ(w.Panel1->geometry(), QRect(12, 240, 477, 265));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    EXPECT_EQ(w.Label8->text().count('.'), 28);
    // The design's Arial, or the installed face that stands in for it.
    EXPECT_TRUE(QStringList({"Arial", "Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"})
                    .contains(w.Label1->font().family()))
        << w.Label1->font().family().toStdString();
}

TEST_F(MainWindow, MenuHasItsAccessKeysAndCommands)
{
    TOstrelF &w = open();
    EXPECT_EQ(w.File1->title(), "&File");
    EXPECT_EQ(w.Exit1->text(), "&Exit");
    EXPECT_EQ(w.Help1->text(), "&Help");
    EXPECT_EQ(w.KaldoHomePage1->text(), "&Kaldo Home Page");
    w.KaldoHomePage1->trigger();
    EXPECT_EQ(desktop.calls, QStringList({"open: https://cttax.example.org/"}));
}

TEST_F(MainWindow, HelpCentresOnceAndReshowsInPlace)
{
    TOstrelF &w = open();
    EXPECT_TRUE(help.isHidden());
    w.Help1->trigger();
    EXPECT_TRUE(help.isVisible());
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    EXPECT_EQ(help.pos(), QPoint(std::max(0, (desktop.width() - 442) / 2), std::max(0, (desktop.height() - 798) / 2)));
    help.move(5, 7);
    w.Help1->trigger(); // already visible: not moved
    EXPECT_EQ(help.pos(), QPoint(5, 7));
    help.close();
    EXPECT_TRUE(help.isHidden());
    w.Help1->trigger();
    EXPECT_EQ(help.pos(), QPoint(5, 7));
    EXPECT_EQ(help.Memo1->toPlainText().split('\n').size(), 46);
    EXPECT_TRUE(help.Memo1->isReadOnly());
    QTest::keyClick(help.Memo1, Qt::Key_Escape); // a tool window: Escape closes it
    EXPECT_TRUE(help.isHidden());
    EXPECT_TRUE(w.isVisible());
}

// Every window and box carries the application's icon, a box without a
// parent (the error report at start-up) too.
TEST(Application, IconIsEveryWindowsAndBoxs)
{
    useApplicationIcon();
    const QImage icon = applicationIcon().pixmap(16).toImage();
    QMessageBox box(QMessageBox::Critical, "Cttax", "File access denied.");
    EXPECT_EQ(box.windowIcon().pixmap(16).toImage(), icon);
    TOstrelFhelp help;
    EXPECT_EQ(help.windowIcon().pixmap(16).toImage(), icon);
}

TEST_F(MainWindow, ExitClosesAndSaves)
{
    TOstrelF &w = open();
    w.Exit1->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(std::filesystem::exists(settings));
}

TEST(Application, Title)
{
    EXPECT_EQ(applicationTitleFor("/opt/x/TaxTool.exe"), "Taxtool");
    EXPECT_EQ(applicationTitleFor("/usr/bin/cttax"), "cttax");
    EXPECT_EQ(applicationTitleFor("/a.b/CT.TAX.bin"), "Ct");
}

} // namespace

namespace {

// Pictures for people: the windows as they are drawn, for a look against the
// design. Written beside the test program, in the build folder.
TEST_F(MainWindow, RendersPicturesOfBothWindows)
{
    TOstrelF &w = openWithMarried60000();
    w.Help1->trigger();
    const QPixmap main = w.grab();
    const QPixmap helpPicture = help.grab();
    help.hide();
    const QString pictures = QCoreApplication::applicationDirPath() + '/';
    EXPECT_TRUE(main.save(pictures + "cttax-main-window.png"));
    EXPECT_TRUE(helpPicture.save(pictures + "cttax-help-window.png"));
    EXPECT_EQ(main.size(), w.size());
}

} // namespace

namespace {

// ---------------------------------------------------------------- start-up and shutdown

TEST_F(MainWindow, StoredMarriedReopensWhereItWasWithItsResults)
{
    writeAll(settings, "342\r\n637\r\n 6.00000000000000E+0004\r\n 1.20000000000000E+0003\r\n1\r\n");
    TOstrelF &w = open();
    EXPECT_EQ(w.pos(), QPoint(637, 342));
    EXPECT_EQ(w.RadioStatus->itemIndex(), 1);
    EXPECT_EQ(w.Edit1->text(), "60000");
    EXPECT_EQ(w.Edit2->text(), "1200");
    EXPECT_EQ(resultTexts(w), QStringList({"12000", "2000", "0.1", "200", "500", "1300"}));
}

TEST_F(MainWindow, DamagedFileReportsOnceAndOpensAtTheDesignPosition)
{
    writeAll(settings, "5\r\n6\r\n1,234\r\n7\r\n1\r\n");
    window = std::make_unique<TOstrelF>(desktop, "Cttax", settings, &help);
    window->show();
    TOstrelF &w = *window;
    EXPECT_EQ(desktop.calls, QStringList({"error: Cttax | Invalid numeric input.\n" + QString::fromStdString(settings.string())}));
    EXPECT_EQ(w.pos(), QPoint(637, 342));
    for (QLineEdit *e : {w.Edit1, w.Edit2})
        EXPECT_EQ(e->text(), "123456789.00");
    EXPECT_EQ(resultTexts(w), QStringList({"", "", "", "", "", ""})) << "no result was computed";
    EXPECT_EQ(w.RadioStatus->itemIndex(), -1);
    EXPECT_EQ(w.taxState().agi, 1);
    EXPECT_EQ(w.taxState().filingStatus, Single);

    w.close(); // saves the current state over the damaged file; status -1
    EXPECT_EQ(readAll(settings), "342\r\n637\r\n 1.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n-1\r\n");
}

TEST_F(MainWindow, StatusOutsideTheGroupIsClampedAndSavedBack)
{
    writeAll(settings, "1\r\n2\r\n0\r\n0\r\n7\r\n");
    open().close();
    EXPECT_EQ(readAll(settings).substr(readAll(settings).rfind('\n', readAll(settings).size() - 2) + 1), "3\r\n");

    writeAll(settings, "1\r\n2\r\n0\r\n0\r\n-1\r\n");
    EXPECT_EQ(open().RadioStatus->itemIndex(), 0);
}

TEST_F(MainWindow, FirstStartWritesTheDefaultFileAndExitEqualsCloseButton)
{
    TOstrelF &w = open();
    w.Exit1->trigger();
    const std::string byExit = readAll(settings);
    EXPECT_EQ(byExit, "10\r\n10\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n0\r\n");

    open();
    window->close();
    EXPECT_EQ(readAll(settings), byExit);
}

TEST_F(MainWindow, FailedSaveKeepsTheEarlierFileAndStillCloses)
{
    TOstrelF &w = open();
    type(w.Edit1, "50000");
    const std::string earlier = "1\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n";
    writeAll(settings, earlier);
    std::filesystem::permissions(settings, std::filesystem::perms::owner_read);
    desktop.calls.clear();
    w.close();
    EXPECT_EQ(desktop.calls, QStringList({"error: Cttax | File access denied.\n" + QString::fromStdString(settings.string())}));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(readAll(settings), earlier);
}

TEST_F(MainWindow, CommaLocaleLoadsFractionsWithoutWarning)
{
    writeAll(settings, "1\r\n2\r\n 1.23450000000000E+0003\r\n 0.00000000000000E+0000\r\n0\r\n");
    TOstrelF &w = open(false);
    w.setDecimalSymbol(",");
    w.show();
    EXPECT_EQ(w.Edit1->text(), "1234,5");
    EXPECT_EQ(w.taxState().agi, 1234.5L);
    w.close();
    EXPECT_NE(readAll(settings).find(" 1.23450000000000E+0003"), std::string::npos); // the file keeps "."
}

} // namespace

namespace {

// What a screen reader reads of each box: its name, its whole text, and one
// text attribute run over all of it (an empty run made Orca drop the last
// character of every amount).
TEST_F(MainWindow, ScreenReaderGetsEachBoxWholeText)
{
    TOstrelF &w = openWithMarried60000();
    const struct {
        QLineEdit *box;
        const char *name;
        const char *text;
    } boxes[] = {
        {w.Edit1, "CT Adjusted Gross Income", "60000"}, {w.Edit2, "CT Property Tax Paid", "1200"},
        {w.Edit3, "Personal Exemption Table A", "12000"}, {w.Edit4, "CT Income Tax from Table B", "2000"},
        {w.Edit5, "Tax Credit Decimal Table C", "0.1"},   {w.Edit6, "CT Personal Tax Credit", "200"},
        {w.Edit7, "Property Tax Credit Allowance", "500"}, {w.Edit8, "Connecticut State Income Tax", "1300"},
    };
    for (const auto &b : boxes) {
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(b.box);
        ASSERT_NE(box, nullptr);
        QAccessibleTextInterface *text = box->textInterface();
        ASSERT_NE(text, nullptr) << b.name;
        EXPECT_EQ(box->text(QAccessible::Name), b.name);
        EXPECT_EQ(text->text(0, text->characterCount()), b.text);
        for (int offset : {0, text->characterCount() - 1}) {
            int start = -1, end = -1;
            text->attributes(offset, &start, &end);
            EXPECT_EQ(start, 0) << b.name << " at " << offset;
            EXPECT_EQ(end, text->characterCount()) << b.name << " at " << offset;
        }
    }
}

} // namespace
