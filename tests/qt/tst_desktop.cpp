// SPDX-License-Identifier: MIT
// The main window as real desktops show it: window managers that add a
// frame, Wayland's unknown positions, screens that went away, first focus,
// whole-row clicks, long texts, dark palettes and the desktop's fonts.
#include "tests/support/files.h"
#include "tests/qt/window_fixture.h"
#include "ui/qt/OstrelU.h"
#include "ui/qt/OstrelhelpU.h"
#include "ui/qt/window_style.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

using namespace cttax;

namespace {

std::string settingsText(int top, int left, const char *status = "1")
{
    return std::to_string(top) + "\r\n" + std::to_string(left) +
           "\r\n 5.00000000000000E+0004\r\n 0.00000000000000E+0000\r\n" + status + "\r\n";
}

class Desktop : public WindowFixture {
protected:
    void closeWindow()
    {
        window->close();
        window.reset();
    }
};

// ---------------------------------------------------------------- focus and clicks

TEST_F(Desktop, FocusStartsOnTheSelectedStatus)
{
    for (const char *status : {"1", "3", "-1"}) {
        std::ofstream(settings, std::ios::binary) << settingsText(10, 10, status);
        TOstrelF &w = open();
        const int selected = std::max(0, std::atoi(status));
        ASSERT_EQ(w.focusWidget(), w.RadioStatus->item(selected)) << "status " << status;
        QTest::keyClicks(w.focusWidget(), "75");
        EXPECT_EQ(w.Edit2->text(), "0");
        closeWindow();
    }
}

TEST_F(Desktop, WholeRowSelectsItsItemAndTheFrameNothing)
{
    TOstrelF &w = open();
    QRadioButton *married = w.RadioStatus->item(1);
    ASSERT_EQ(married->size(), QSize(190, 34));
    QTest::mouseClick(married, Qt::LeftButton, {}, QPoint(180, 30)); // far right of "Married"
    EXPECT_EQ(w.RadioStatus->itemIndex(), 1);
    QTest::mouseClick(w.RadioStatus->item(3), Qt::LeftButton, {}, QPoint(150, 2));
    EXPECT_EQ(w.RadioStatus->itemIndex(), 3);
    for (QPoint frameOrCaption : {QPoint(100, 8), QPoint(204, 100), QPoint(3, 150)}) {
        QTest::mouseClick(w.RadioStatus, Qt::LeftButton, {}, frameOrCaption);
        EXPECT_EQ(w.RadioStatus->itemIndex(), 3);
    }
}

// ---------------------------------------------------------------- long texts

TEST_F(Desktop, ProgramWrittenTextsShowFromTheirStart)
{
    std::ofstream(settings, std::ios::binary)
        << "10\r\n10\r\n 9.99999999999990E+0013\r\n 1.23456789012345E+0014\r\n0\r\n";
    TOstrelF &w = open();
    EXPECT_EQ(w.Edit4->text(), "6499999992300");
    for (QLineEdit *box : {w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6, w.Edit7, w.Edit8})
        EXPECT_EQ(box->cursorPosition(), 0) << box->objectName().toStdString();
    w.Edit1->setFocus();
    w.Edit1->selectAll();
    QTest::keyClicks(w.Edit1, "99999999999999");
    EXPECT_EQ(w.Edit1->cursorPosition(), 14); // typing keeps the cursor where the user is
    EXPECT_EQ(w.Edit4->cursorPosition(), 0);
}

TEST_F(Desktop, BoxesHaveNoLimitOnLength)
{
    TOstrelF &w = open();
    const QString longText = QString(39990, '0') + "50000.5";
    w.Edit1->setText(longText);
    EXPECT_EQ(w.Edit1->text().size(), longText.size());
    EXPECT_EQ(w.taxState().agi, 50000.5L);
    w.Edit2->clear();
    w.Edit2->insert(longText); // as a paste
    EXPECT_EQ(w.taxState().propertyTaxPaid, 50000.5L);
    closeWindow();
    EXPECT_NE(readAll(settings).find(" 5.00005000000000E+0004"), std::string::npos);
}

// ---------------------------------------------------------------- colours and fonts

// The colour drawn most and the one that stands out most from it, within
// `area` of the widget as it draws itself.
std::pair<QColor, QColor> backgroundAndText(QWidget *widget, QRect area = {})
{
    const QImage image = widget->grab(area.isNull() ? widget->rect() : area).toImage();
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb background = 0;
    int most = 0;
    for (const auto &[colour, count] : counts)
        if (count > most) {
            most = count;
            background = colour;
        }
    QColor text = QColor::fromRgb(background);
    for (const auto &[colour, count] : counts)
        if (contrastRatio(QColor::fromRgb(colour), QColor::fromRgb(background)) > contrastRatio(text, QColor::fromRgb(background)))
            text = QColor::fromRgb(colour);
    return {QColor::fromRgb(background), text};
}

QPalette darkPalette()
{
    // qt6ct's "darker" scheme.
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(42, 42, 42));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

TEST_F(Desktop, EveryTextIsReadableUnderLightAndDarkPalettes)
{
    const QPalette original = QApplication::palette();
    for (const QPalette &desktop : {original, darkPalette()}) {
        QApplication::setPalette(desktop);
        TOstrelF &w = open();
        struct Shown {
            QWidget *widget;
            QRect area;
        };
        std::vector<Shown> shown = {{w.MainMenu, {}}, {w.Label1, {}}, {w.Label2, {}}, {w.Label3, {}},
                                    {w.Label4, {}},   {w.Label5, {}}, {w.RadioStatus, QRect(0, 0, 209, 22)}};
        for (int i = 0; i < w.RadioStatus->count(); ++i)
            shown.push_back({w.RadioStatus->item(i), QRect(24, 0, 166, 34)}); // the word, not the circle
        for (QLineEdit *box : {w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6, w.Edit7, w.Edit8})
            shown.push_back({box, box->rect().adjusted(3, 3, -3, -3)});
        for (const Shown &s : shown) {
            const auto [background, text] = backgroundAndText(s.widget, s.area);
            EXPECT_GE(contrastRatio(background, text), 4.5)
                << s.widget->objectName().toStdString() << ": " << text.name().toStdString() << " on "
                << background.name().toStdString() << (desktop == original ? " (light)" : " (dark)");
        }
        closeWindow();
    }
    QApplication::setPalette(original);
}

TEST(Fonts, MenusAndDialogsAreProportional)
{
    for (const char *family : {"Liberation Mono", "DejaVu Sans Mono", "Monospace", "Liberation Sans", "DejaVu Sans"}) {
        QFont desktop(family);
        desktop.setPointSize(10);
        const QFont chosen = proportionalUiFont(desktop);
        EXPECT_FALSE(QFontInfo(chosen).fixedPitch()) << family << " -> " << QFontInfo(chosen).family().toStdString();
        EXPECT_EQ(chosen.pointSize(), 10);
        if (!QFontInfo(desktop).fixedPitch()) {
            EXPECT_EQ(chosen, desktop) << family; // a proportional desktop font is kept
        }
    }
}

} // namespace

namespace {

// The selected filing status is plain to see whatever the desktop's palette:
// the dot against its disc, sampled in the drawn indicator.
TEST_F(Desktop, SelectedStatusIsPlainUnderLightAndDarkPalettes)
{
    const QPalette desktop = QApplication::palette();
    QPalette dark = desktop;
    for (const auto &[role, color] : std::map<QPalette::ColorRole, QColor>{
             {QPalette::Window, QColor(53, 53, 53)}, {QPalette::WindowText, QColor(200, 200, 200)},
             {QPalette::Base, QColor(61, 61, 61)}, {QPalette::Text, QColor(128, 128, 128)},
             {QPalette::Button, QColor(53, 53, 53)}, {QPalette::ButtonText, QColor(200, 200, 200)}})
        dark.setColor(role, color);
    for (const QPalette &palette : {desktop, dark}) {
        QApplication::setPalette(palette);
        TOstrelF &w = open();
        w.RadioStatus->setItemIndex(1);
        QRadioButton *item = w.RadioStatus->item(1);
        QStyleOptionButton option;
        option.initFrom(item);
        const QRect indicator = item->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, item);
        const QImage image = item->grab().toImage();
        const QPoint centre = indicator.center();
        const QColor dot = image.pixelColor(centre);
        const QColor disc = image.pixelColor(centre + QPoint(indicator.width() / 4 + 1, 0));
        if (palette == dark) // a picture for people, beside the test program
            w.grab().save(QCoreApplication::applicationDirPath() + "/cttax-dark-palette.png");
        EXPECT_GE(contrastRatio(dot, disc), 4.5) << (palette == dark ? "dark" : "light") << ": dot " << dot.name().toStdString()
                                                 << ", disc " << disc.name().toStdString();
        closeWindow();
    }
    QApplication::setPalette(desktop);
}

} // namespace
