// TFloatEdit in the configuration of the complete-zero field (1 decimal, -100..100, "." typed
// as the decimal separator), under a locale writing "," and under one writing ".": typing,
// pasting, Escape, leaving the box, and the run-time errors of the bounds.
#include "shell/widgets/float_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace vr410 {
namespace {

// Builds its boxes under the locale named by the parameter, put back afterwards.
class FloatEditTest : public testing::TestWithParam<QLocale::Language> {
  protected:
    FloatEditTest() : Saved(QLocale()) {
        QLocale::setDefault(QLocale(GetParam()));
        Window.setLayout(new QVBoxLayout);
        Edit = new TFloatEdit(&Window);
        Other = new QLineEdit(&Window);
        Window.layout()->addWidget(Edit);
        Window.layout()->addWidget(Other);
        Edit->SetFacilities(&System);
        Edit->SetDigits(1);
        Edit->SetMin(-100);
        Edit->SetMax(100);
        Edit->SetAdditionalDecimalSeparator(QLatin1Char('.'));
        Edit->SetErrorMessage(QStringLiteral("Значение вне диапазона"));
        Edit->SetOnKeyPress([this](QChar& key) { Seen.push_back(key); });
    }
    ~FloatEditTest() override { QLocale::setDefault(Saved); }

    // The text with every "%" replaced by the box's decimal separator.
    QString Sep(const char* text) const {
        return QString::fromUtf8(text).replace(QLatin1Char('%'), Edit->DecimalSeparator());
    }
    // Shows the window and enters the box as the Tab key does.
    void Enter() {
        Window.show();
        QApplication::setActiveWindow(&Window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
        Edit->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(Edit->hasFocus());
    }
    void Leave() { Other->setFocus(Qt::TabFocusReason); }

    QLocale Saved;
    RecordingSystemFacilities System;
    QWidget Window;
    TFloatEdit* Edit = nullptr;
    QLineEdit* Other = nullptr;
    std::vector<QChar> Seen; // what the owner's key-press event saw
};

INSTANTIATE_TEST_SUITE_P(Locales, FloatEditTest,
                         testing::Values(QLocale::Russian, QLocale::English),
                         [](const testing::TestParamInfo<QLocale::Language>& param) {
                             return QLocale::languageToCode(param.param).toStdString();
                         });

TEST_P(FloatEditTest, ANewBoxShowsTheMinimumInFixedForm) {
    TFloatEdit fresh;
    EXPECT_EQ(fresh.text(), Sep("0%0"));
    EXPECT_EQ(fresh.Alignment(), Qt::AlignRight);
    EXPECT_EQ(Edit->text(), Sep("0%0")); // later bounds that hold 0 keep it
}

struct TypingCase {
    const char* Name;
    const char* Before; // "%" stands for the locale's separator
    int SelStart;       // the cursor, or with SelLength the selection; -1: the end
    int SelLength;
    const char* Typed;
    const char* After;
    int AfterSelStart = -1; // -1: nothing selected afterwards
    int AfterSelLength = 0;
};

TEST_P(FloatEditTest, TypingKeepsANumberWithinTheMaximumAndTheDecimals) {
    const TypingCase cases[] = {
        {.Name = "minus into an empty box",
         .Before = "",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "-",
         .After = "-0",
         .AfterSelStart = 1,
         .AfterSelLength = 1},
        {.Name = "a digit after the minus",
         .Before = "",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "-5",
         .After = "-5"},
        {.Name = "minus over the whole text",
         .Before = "42%0",
         .SelStart = 0,
         .SelLength = 4,
         .Typed = "-",
         .After = "-0",
         .AfterSelStart = 1,
         .AfterSelLength = 1},
        {.Name = "full stop alone",
         .Before = "",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = ".",
         .After = "0%0",
         .AfterSelStart = 2,
         .AfterSelLength = 1},
        {.Name = "a digit after the full stop alone",
         .Before = "",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = ".7",
         .After = "0%7"},
        {.Name = "full stop types the separator",
         .Before = "-5",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = ".",
         .After = "-5%"},
        {.Name = "one decimal",
         .Before = "-5%",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "3",
         .After = "-5%3"},
        {.Name = "a second decimal",
         .Before = "-5%3",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "1",
         .After = "-5%3"},
        {.Name = "a second separator",
         .Before = "5%3",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = ".",
         .After = "5%3"},
        {.Name = "100.5 over the maximum",
         .Before = "100%",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "5",
         .After = "100%"},
        {.Name = "100.0 at the maximum",
         .Before = "100%",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "0",
         .After = "100%0"},
        {.Name = "101 over the maximum",
         .Before = "10",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "1",
         .After = "10"},
        {.Name = "below the minimum while typing",
         .Before = "-100",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "0",
         .After = "-1000"},
        {.Name = "a digit over the selection",
         .Before = "-100%0",
         .SelStart = 0,
         .SelLength = 6,
         .Typed = "5",
         .After = "5"},
        {.Name = "the separator into the middle",
         .Before = "15",
         .SelStart = 1,
         .SelLength = 0,
         .Typed = ".",
         .After = "1%5"},
        {.Name = "a digit into the middle over the maximum",
         .Before = "15",
         .SelStart = 1,
         .SelLength = 0,
         .Typed = "2",
         .After = "15"},
        {.Name = "minus after a digit",
         .Before = "5",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "-",
         .After = "5"},
        {.Name = "an exponent without digits",
         .Before = "1",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "E",
         .After = "1"},
        {.Name = "a letter",
         .Before = "12",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = "a",
         .After = "12"},
        {.Name = "a blank",
         .Before = "12",
         .SelStart = -1,
         .SelLength = 0,
         .Typed = " ",
         .After = "12"},
    };
    for (const TypingCase& c : cases) {
        Edit->setText(Sep(c.Before));
        if (c.SelStart >= 0 && c.SelLength == 0) {
            Edit->setCursorPosition(c.SelStart);
        } else if (c.SelStart >= 0) {
            Edit->setSelection(c.SelStart, c.SelLength);
        } else {
            Edit->end(false);
        }
        QTest::keyClicks(Edit, QString::fromUtf8(c.Typed));
        EXPECT_EQ(Edit->text(), Sep(c.After)) << c.Name;
        if (c.AfterSelStart >= 0) {
            EXPECT_EQ(Edit->selectionStart(), c.AfterSelStart) << c.Name;
            EXPECT_EQ(Edit->selectedText().size(), c.AfterSelLength) << c.Name;
        }
    }
    EXPECT_EQ(System.Beeps, 0); // refusals are silent
}

TEST_P(FloatEditTest, TheOwnerSeesRefusedKeysButNotEnter) {
    Edit->setText(QStringLiteral("12"));
    Edit->end(false);
    QTest::keyClicks(Edit, QStringLiteral("a9"));
    ASSERT_EQ(Seen.size(), 2U);
    EXPECT_EQ(Seen[0], QLatin1Char('a'));
    EXPECT_EQ(Seen[1], QLatin1Char('9')); // 129 is refused, but after the owner saw it

    std::vector<QChar> entered;
    Edit->SetOnEnterPress([&entered](QChar& key) { entered.push_back(key); });
    QTest::keyClick(Edit, Qt::Key_Return);
    EXPECT_EQ(entered.size(), 1U);
    EXPECT_EQ(Seen.size(), 2U);
    EXPECT_EQ(Edit->text(), QStringLiteral("12"));
}

TEST_P(FloatEditTest, DigitsZeroRefusesTheSeparator) {
    Edit->SetDigits(0);
    Edit->setText(QStringLiteral("5"));
    Edit->end(false);
    QTest::keyClicks(Edit, QStringLiteral("."));
    EXPECT_EQ(Edit->text(), QStringLiteral("5"));
}

TEST_P(FloatEditTest, ReadingClampsAndCountsTheStartsOfANumberAsZero) {
    const struct {
        const char* Text;
        long double Expected;
    } cases[] = {
        {"-", 0},     {"%", 0},       {"", 0},         {"E", 0},    {"abc", -100},
        {"500", 100}, {"-500", -100}, {"-5%3", -5.3L}, {"1E1", 10},
    };
    for (const auto& c : cases) {
        Edit->setText(Sep(c.Text));
        EXPECT_NEAR(static_cast<double>(Edit->Value()), static_cast<double>(c.Expected), 1e-9)
            << c.Text;
    }
}

TEST_P(FloatEditTest, WritingOutsideTheBoundsShowsTheErrorTextAndTakesTheBound) {
    const struct {
        long double Written;
        const char* Shown;
        size_t Messages;
    } cases[] = {
        {42.25L, "42%3", 0},
        {150, "100%0", 1},
        {-150, "-100%0", 1},
        {100, "100%0", 0},
    };
    for (const auto& c : cases) {
        System.Messages.clear();
        Edit->SetValue(c.Written);
        EXPECT_EQ(Edit->text(), Sep(c.Shown)) << c.Shown;
        ASSERT_EQ(System.Messages.size(), c.Messages) << c.Shown;
        if (c.Messages > 0) {
            EXPECT_EQ(System.Messages[0].Text, "Значение вне диапазона");
            EXPECT_EQ(System.Messages[0].Kind, MessageKind::Plain);
        }
    }
    Edit->SetErrorMessage(QString());
    System.Messages.clear();
    Edit->SetValue(1000);
    EXPECT_TRUE(System.Messages.empty()); // without a text nothing is shown
    EXPECT_EQ(Edit->text(), Sep("100%0"));
}

TEST_P(FloatEditTest, DigitsReformatTheTextAndStopAtEighteen) {
    Edit->SetValue(12.5L);
    Edit->SetDigits(3);
    EXPECT_EQ(Edit->text(), Sep("12%500"));
    Edit->SetDigits(25);
    EXPECT_EQ(Edit->Digits(), 18);
    EXPECT_EQ(Edit->text(), Sep("12%500000000000000000"));
    Edit->SetDigits(0);
    EXPECT_EQ(Edit->text(), Sep("13"));
}

TEST_P(FloatEditTest, BoundsThatCrossAreRefusedAtRunTime) {
    Edit->SetValue(50);
    try {
        Edit->SetMin(200);
        ADD_FAILURE() << "a minimum above the maximum was taken";
    } catch (const FloatEditRangeError& error) {
        EXPECT_STREQ(error.what(), "Minimum value must not be greater than maximum value !");
    }
    try {
        Edit->SetMax(-200);
        ADD_FAILURE() << "a maximum below the minimum was taken";
    } catch (const FloatEditRangeError& error) {
        EXPECT_STREQ(error.what(), "Maximum value must not be less than minimum value !");
    }
    EXPECT_EQ(Edit->Min(), -100);
    EXPECT_EQ(Edit->Max(), 100);
    EXPECT_EQ(Edit->text(), Sep("50%0"));

    Edit->SetMax(20); // a bound that moves over the value pulls it along
    EXPECT_EQ(Edit->text(), Sep("20%0"));
    Edit->SetMin(20); // equal bounds are fine
    EXPECT_EQ(Edit->Min(), 20);
}

TEST_P(FloatEditTest, BoundsCrossedWhileLoadingAreSwappedAfterwards) {
    TFloatEdit loading;
    loading.BeginLoading();
    loading.SetMax(-10);
    loading.SetMin(50);
    loading.SetValue(30);
    EXPECT_EQ(loading.Value(), 30);
    loading.Loaded();
    EXPECT_EQ(loading.Min(), -10);
    EXPECT_EQ(loading.Max(), 50);
    EXPECT_EQ(loading.text(), Sep("30%0"));
}

TEST_P(FloatEditTest, LeavingWithABadValueRestoresTheValueAtEntryAndKeepsTheFocus) {
    const struct {
        const char* Name;
        const char* Typed; // typed after entering, which selects the whole text
        int Backspaces;    // then pressed
    } cases[] = {
        {.Name = "below the minimum", .Typed = "-150", .Backspaces = 0},
        {.Name = "not a number", .Typed = "-", .Backspaces = 1}, // "-0" less its 0
    };
    for (const auto& c : cases) {
        Edit->SetValue(3);
        Enter();
        QTest::keyClicks(Edit, QString::fromLatin1(c.Typed));
        for (int i = 0; i < c.Backspaces; ++i) {
            QTest::keyClick(Edit, Qt::Key_Backspace);
        }
        System.Messages.clear();
        Leave();
        EXPECT_TRUE(Edit->hasFocus()) << c.Name;
        EXPECT_EQ(Edit->text(), Sep("3%0")) << c.Name;
        EXPECT_EQ(Edit->selectedText(), Edit->text()) << c.Name;
        ASSERT_EQ(System.Messages.size(), 1U) << c.Name;
        EXPECT_EQ(System.Messages[0].Text, "Значение вне диапазона") << c.Name;
        Edit->SetValue(3); // a good value lets the focus go for the next case
        Leave();
        ASSERT_TRUE(Other->hasFocus()) << c.Name;
    }
}

TEST_P(FloatEditTest, LeavingWithAGoodValueShowsItsFixedForm) {
    const struct {
        const char* Typed;
        const char* Shown;
    } cases[] = {
        {"5", "5%0"},
        {"-0", "0%0"},
        {"7.", "7%0"},
        {"100", "100%0"},
    };
    for (const auto& c : cases) {
        Enter();
        QTest::keyClicks(Edit, QString::fromLatin1(c.Typed));
        Leave();
        EXPECT_TRUE(Other->hasFocus()) << c.Typed;
        EXPECT_EQ(Edit->text(), Sep(c.Shown)) << c.Typed;
    }
    Enter();
    Edit->clear(); // an emptied box shows the minimum
    Leave();
    EXPECT_EQ(Edit->text(), Sep("-100%0"));
    EXPECT_TRUE(System.Messages.empty());
}

TEST_P(FloatEditTest, SwitchingWindowsNeitherLeavesNorEntersTheBox) {
    Edit->SetValue(3);
    Enter();
    QTest::keyClicks(Edit, QStringLiteral("-150"));
    QWidget elsewhere;
    elsewhere.show();
    QApplication::setActiveWindow(&elsewhere);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_EQ(Edit->text(), QStringLiteral("-150"));
    EXPECT_TRUE(System.Messages.empty());
    elsewhere.hide();
    Enter();
    QTest::keyClick(Edit, Qt::Key_Escape); // the value at the first entry, not at the return
    EXPECT_EQ(Edit->text(), Sep("3%0"));
}

TEST_P(FloatEditTest, EscapeRestoresTheValueAtEntryAndSelectsAll) {
    Edit->SetValue(-42.5L);
    Enter();
    QTest::keyClicks(Edit, QStringLiteral("7"));
    ASSERT_EQ(Edit->text(), QStringLiteral("7"));
    QTest::keyClick(Edit, Qt::Key_Escape);
    EXPECT_EQ(Edit->text(), Sep("-42%5"));
    EXPECT_EQ(Edit->selectedText(), Edit->text());
}

TEST_P(FloatEditTest, PastingKeepsOnlyNumbersAndNothingAboveTheMaximum) {
    const struct {
        const char* Name;
        const char* Clipboard;
        const char* After;
    } cases[] = {
        {.Name = "a number", .Clipboard = "-5%3", .After = "-5%3"},
        {.Name = "above the maximum", .Clipboard = "250", .After = "100%0"},
        {.Name = "not a number", .Clipboard = "abc", .After = "12"},
        {.Name = "a minus alone", .Clipboard = "-", .After = "12"},
    };
    for (const auto& c : cases) {
        Edit->setText(QStringLiteral("12"));
        Edit->setSelection(0, 2);
        QApplication::clipboard()->setText(Sep(c.Clipboard));
        QTest::keyClick(Edit, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(Edit->text(), Sep(c.After)) << c.Name;
        if (std::string(c.After) == "12") {
            EXPECT_EQ(Edit->selectedText(), QStringLiteral("12")) << c.Name;
        }
    }
}

} // namespace
} // namespace vr410
