// Reading the layout templates and turning dialog units into pixels.
#include <gtest/gtest.h>
#include <QFontMetrics>

#include "dialog_template.h"

namespace {

TEST(DialogTemplateTest, ReadsTheDialogLineAndEveryControl) {
    const QString text = QStringLiteral(
        "# comment\n"
        "dialog 7 100 50 \"Title with  blanks\"\n"
        "\n"
        "group  -    1  2  30 40  \"  Group\"\n"
        "edit   1001 5  6  20 12 ro right\n"
        "flatbutton 1099 11 8 14 12 icon=129\n");
    DialogTemplate layout;
    QString error;
    ASSERT_TRUE(ParseDialogTemplate(text, &layout, &error)) << error.toStdString();
    EXPECT_EQ(layout.id, 7);
    EXPECT_EQ(layout.units, QSize(100, 50));
    EXPECT_EQ(layout.caption, QStringLiteral("Title with  blanks"));
    ASSERT_EQ(layout.controls.size(), 3u);
    EXPECT_EQ(layout.controls[0].id, -1);
    EXPECT_EQ(layout.controls[0].caption, QStringLiteral("  Group"));
    EXPECT_EQ(layout.controls[1].units, QRect(5, 6, 20, 12));
    EXPECT_TRUE(layout.controls[1].HasOption(QStringLiteral("ro")));
    EXPECT_TRUE(layout.controls[1].HasOption(QStringLiteral("right")));
    EXPECT_FALSE(layout.controls[1].HasOption(QStringLiteral("rw")));
    EXPECT_EQ(layout.controls[2].NumberOption(QStringLiteral("icon"), -1), 129);
    EXPECT_EQ(layout.controls[2].NumberOption(QStringLiteral("png"), -1), -1);
    EXPECT_EQ(layout.Find(1099), &layout.controls[2]);
    EXPECT_EQ(layout.Find(5), nullptr);
}

TEST(DialogTemplateTest, RefusesMalformedTemplatesNamingTheLine) {
    struct Case {
        const char* text;
        const char* errorPart;
    };
    const Case cases[] = {
        {"", "no dialog line"},
        {"label - 1 2 3 4 \"x\"\n", "line 1: the dialog line must come first"},
        {"dialog 1 10 10 \"a\"\ndialog 2 10 10 \"b\"\n", "line 2"},
        {"dialog 1 10 \"a\"\n", "line 1: expected: dialog"},
        {"dialog 1 10 10 \"a\"\nslider 5 1 1 1 1\n", "unknown control kind 'slider'"},
        {"dialog 1 10 10 \"a\"\nlabel - 1 2 3\n", "line 2: expected: KIND"},
        {"dialog 1 10 10 \"a\"\nlabel - 1 2 x 4\n", "bad position or size"},
        {"dialog 1 10 10 \"a\"\nlabel - 1 -2 3 4\n", "bad position or size"},
        {"dialog 1 10 10 \"a\"\nedit abc 1 2 3 4\n", "bad control id 'abc'"},
        {"dialog 1 10 10 \"a\"\nedit 5 1 2 3 4\nedit 5 1 2 3 4\n", "line 3: control id 5 used twice"},
        {"dialog 1 10 10 \"a\"\nlabel - 1 2 3 4 \"open\n", "unbalanced"},
        {"dialog 1 10 10 \"a\"\nlabel - 1 2 3 4 \"x\" ro\n", "misplaced"},
    };
    for (const Case& c : cases) {
        DialogTemplate layout;
        QString error;
        EXPECT_FALSE(ParseDialogTemplate(QString::fromUtf8(c.text), &layout, &error)) << c.text;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.errorPart)))
            << c.text << " -> " << error.toStdString();
    }
}

TEST(DialogUnitsTest, ScalesByAQuarterOfTheCharacterWidthAndAnEighthOfItsHeight) {
    // The classic 8-point dialog font: 6 pixels wide on average, 13 high.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels(QSize(623, 466)), QSize(935, 757));
    EXPECT_EQ(units.ToPixels(QRect(7, 10, 400, 30)), QRect(11, 16, 600, 49));
    EXPECT_EQ(units.ToPixels(QRect(0, 0, 14, 12)), QRect(0, 0, 21, 20));
    EXPECT_EQ(units.Y(8), 13);  // a label is one line high
    // Neighbours in dialog units stay neighbours in pixels.
    const DialogUnits seven(7, 13);
    const QRect field = seven.ToPixels(QRect(73, 178, 30, 12));
    const QRect button = seven.ToPixels(QRect(103, 178, 16, 13));
    EXPECT_EQ(field.right() + 1, button.left());
}

TEST(DialogUnitsTest, FollowsTheFont) {
    QFont small = DialogFont();
    QFont large = DialogFont();
    large.setPointSize(16);
    const DialogUnits a(small);
    const DialogUnits b(large);
    EXPECT_GT(a.BaseWidth(), 0);
    EXPECT_GT(a.BaseHeight(), 0);
    EXPECT_GT(b.BaseWidth(), a.BaseWidth());
    EXPECT_GT(b.BaseHeight(), a.BaseHeight());
    EXPECT_EQ(a.BaseHeight(), QFontMetrics(small).height());
}

TEST(DialogTemplateTest, TheProgramsTemplatesAreWellFormed) {
    const DialogTemplate main = LoadDialogTemplate(QStringLiteral(":/layouts/main_window.layout"));
    EXPECT_EQ(main.id, 102);
    EXPECT_EQ(main.units, QSize(623, 466));
    EXPECT_EQ(main.caption, QStringLiteral("ZEL-5100 Utility - View Status and Control Parameters"));
    const DialogTemplate about = LoadDialogTemplate(QStringLiteral(":/layouts/about_box.layout"));
    EXPECT_EQ(about.id, 100);
    EXPECT_EQ(about.units, QSize(227, 98));
    const DialogTemplate change = LoadDialogTemplate(QStringLiteral(":/layouts/change_ip_address.layout"));
    EXPECT_EQ(change.id, 135);
    EXPECT_EQ(change.units, QSize(160, 128));
    EXPECT_EQ(change.caption, QStringLiteral("Change IP Address"));
    EXPECT_EQ(change.controls.size(), 11u);
}

}  // namespace
