// The three small dialogs driven as a person would: keys into the fields,
// clicks on the buttons, and what they then show, store and say.

#include "testprompts.h"
#include "views/dialogs/finddlg.h"
#include "views/dialogs/optionsdlg.h"
#include "views/dialogs/randomdlg.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>

namespace {

const QString kIntegerMessage = QStringLiteral("Please enter an integer.");
const QString kRangeMessage = QStringLiteral("Please enter an integer between 3 and 256.");
const QString kSymbolsMessage = QStringLiteral("Accepted symbols are only A, T, C or G");
const QString kPositiveMessage = QStringLiteral("Please enter a positive integer.");

// Replaces a field's whole text by typing, as a person would: select all,
// then type (or delete, for an empty text).
void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty()) {
        QTest::keyClick(field, Qt::Key_Delete);
    } else {
        QTest::keyClicks(field, text);
    }
}

QPushButton* button(const QWidget& dialog, const QString& text)
{
    for (QPushButton* candidate : dialog.findChildren<QPushButton*>()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

void click(const QWidget& dialog, const QString& text)
{
    QPushButton* target = button(dialog, text);
    ASSERT_NE(target, nullptr) << text.toStdString();
    QTest::mouseClick(target, Qt::LeftButton);
}

// What the caller holds after a dialog: the value it gave back, or the one it had.
template <typename Dialog, typename Value>
Value after(const Dialog& dialog, const Value& before)
{
    return dialog.chosen().value_or(before);
}

// Shows the dialog and waits until it has the keyboard, so that focus can be
// read back.
void open(QWidget& dialog)
{
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

bool hasFocusWithAllSelected(const QLineEdit* field)
{
    return QApplication::focusWidget() == field && field->selectedText() == field->text();
}

// ---------------------------------------------------------------------------
// Options

struct OptionsCase {
    const char* name;
    QString minimum;
    QString maximum;
    bool accepted;
    int storedMinimum;  // the caller's values afterwards (8 and 30 before)
    int storedMaximum;
    QString message;  // empty for none
    Prompts::Icon icon;
    const char* focused;  // the field that fails, if any
};

std::ostream& operator<<(std::ostream& out, const OptionsCase& c)
{
    return out << c.name;
}

class OptionsValidation : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsValidation, ReadsMaximumThenMinimum)
{
    const OptionsCase& c = GetParam();
    ScopedTestPrompts prompts;
    int minimum = 8;
    int maximum = 30;
    COptionsDlg dialog(minimum, maximum, Prompts::current());
    open(dialog);

    typeInto(dialog.minimumField(), c.minimum);
    typeInto(dialog.maximumField(), c.maximum);
    click(dialog, QStringLiteral("OK"));

    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).minimum, c.storedMinimum);
    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).maximum, c.storedMaximum);
    if (c.accepted) {
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(prompts->messages.empty());
        return;
    }
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_EQ(prompts->messages[0].text, c.message);
    EXPECT_EQ(prompts->messages[0].icon, c.icon);
    auto* failed = dialog.findChild<QLineEdit*>(QString::fromLatin1(c.focused));
    ASSERT_NE(failed, nullptr);
    EXPECT_TRUE(hasFocusWithAllSelected(failed));
}

const QString k29Zeros = QString(29, u'0');

INSTANTIATE_TEST_SUITE_P(
    Dialogs, OptionsValidation,
    ::testing::Values(
        OptionsCase{"MinimumAboveMaximumBecomesMaximum", "20", "10", true, 10, 10, {}, {}, nullptr},
        OptionsCase{"BothEndsOfTheRange", "3", "256", true, 3, 256, {}, {}, nullptr},
        OptionsCase{"BlanksAroundTheDigits", " 12 ", " 40", true, 12, 40, {}, {}, nullptr},
        OptionsCase{"SignedNumbers", "+9", "+50", true, 9, 50, {}, {}, nullptr},
        // Only 31 characters are read: "...00100" is read as 10.
        OptionsCase{"OnlyThirtyOneCharactersRead", k29Zeros + "100", "40", true, 10, 40, {}, {}, nullptr},
        // The maximum is checked first and the minimum is then not read at all.
        OptionsCase{"MaximumAboveRange", "letters", "300", false, 8, 30, kRangeMessage,
                    Prompts::Icon::Warning, "maximumField"},
        OptionsCase{"MaximumNegative", "10", "-4", false, 8, 30, kRangeMessage, Prompts::Icon::Warning,
                    "maximumField"},
        OptionsCase{"MaximumEmpty", "10", "", false, 8, 30, kIntegerMessage, Prompts::Icon::None,
                    "maximumField"},
        OptionsCase{"LettersInMinimum", "12x", "30", false, 8, 30, kIntegerMessage, Prompts::Icon::None,
                    "minimumField"},
        OptionsCase{"MinimumBelowRange", "2", "30", false, 8, 30, kRangeMessage, Prompts::Icon::Warning,
                    "minimumField"},
        OptionsCase{"MinimumTooLargeForAnInteger", "99999999999", "30", false, 8, 30, kIntegerMessage,
                    Prompts::Icon::None, "minimumField"},
        OptionsCase{"DecimalPoint", "8.5", "30", false, 8, 30, kIntegerMessage, Prompts::Icon::None,
                    "minimumField"}),
    [](const ::testing::TestParamInfo<OptionsCase>& row) { return std::string(row.param.name); });

TEST(OptionsDialog, OpensWithTheCurrentValues)
{
    int minimum = 12;
    int maximum = 44;
    COptionsDlg dialog(minimum, maximum, Prompts::current());
    open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(dialog.minimumField()->text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.maximumField()->text(), QStringLiteral("44"));
    EXPECT_EQ(dialog.minimumField()->objectName(), QStringLiteral("minimumField"));
    EXPECT_EQ(dialog.maximumField()->objectName(), QStringLiteral("maximumField"));
    ASSERT_NE(button(dialog, QStringLiteral("OK")), nullptr);
    EXPECT_TRUE(button(dialog, QStringLiteral("OK"))->isDefault());
}

TEST(OptionsDialog, CancelAfterEditingKeepsTheSettings)
{
    ScopedTestPrompts prompts;
    int minimum = 8;
    int maximum = 30;
    COptionsDlg dialog(minimum, maximum, Prompts::current());
    open(dialog);
    typeInto(dialog.minimumField(), QStringLiteral("5"));
    typeInto(dialog.maximumField(), QStringLiteral("300"));
    click(dialog, QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).minimum, 8);
    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).maximum, 30);
    EXPECT_TRUE(prompts->messages.empty());
}

TEST(OptionsDialog, EnterInAFieldIsOk)
{
    ScopedTestPrompts prompts;
    int minimum = 8;
    int maximum = 30;
    COptionsDlg dialog(minimum, maximum, Prompts::current());
    open(dialog);
    typeInto(dialog.maximumField(), QStringLiteral("25"));
    QTest::keyClick(dialog.maximumField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).maximum, 25);
}

TEST(OptionsDialog, StaysOpenUntilTheValuesPass)
{
    ScopedTestPrompts prompts;
    int minimum = 8;
    int maximum = 30;
    COptionsDlg dialog(minimum, maximum, Prompts::current());
    open(dialog);
    typeInto(dialog.maximumField(), QStringLiteral("1000"));
    click(dialog, QStringLiteral("OK"));
    ASSERT_TRUE(dialog.isVisible());
    // The failing field has the focus with its text selected: typing replaces it.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("100"));
    EXPECT_EQ(dialog.maximumField()->text(), QStringLiteral("100"));
    click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, OptionsResult{minimum, maximum}).maximum, 100);
    EXPECT_EQ(prompts->messages.size(), 1U);
}

// ---------------------------------------------------------------------------
// Find

struct FindCase {
    const char* name;
    QString typed;
    bool accepted;
    QString shown;   // the field's text afterwards
    QString stored;  // the caller's motif afterwards ("TT" before)
};

std::ostream& operator<<(std::ostream& out, const FindCase& c)
{
    return out << c.name;
}

class FindValidation : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindValidation, UpperCasesThenChecksTheLetters)
{
    const FindCase& c = GetParam();
    ScopedTestPrompts prompts;
    QString motif = QStringLiteral("TT");
    CFindDlg dialog(motif, Prompts::current());
    open(dialog);
    typeInto(dialog.motifField(), c.typed);
    click(dialog, QStringLiteral("Find"));

    EXPECT_EQ(dialog.motifField()->text(), c.shown);
    EXPECT_EQ(after(dialog, motif), c.stored);
    if (c.accepted) {
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(prompts->messages.empty());
    } else {
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(prompts->messages.size(), 1U);
        EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Error!"));
        EXPECT_EQ(prompts->messages[0].text, kSymbolsMessage);
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, FindValidation,
                         ::testing::Values(FindCase{"LowerCaseIsConverted", "gatc", true, "GATC", "GATC"},
                                           FindCase{"MixedCase", "AaTtCcGg", true, "AATTCCGG", "AATTCCGG"},
                                           FindCase{"EmptyIsAccepted", "", true, "", ""},
                                           FindCase{"OtherLetter", "GATN", false, "GATN", "TT"},
                                           FindCase{"InnerBlank", "ga tc", false, "GA TC", "TT"},
                                           FindCase{"UracilIsNotABase", "acgu", false, "ACGU", "TT"},
                                           FindCase{"Digit", "AC1", false, "AC1", "TT"}),
                         [](const ::testing::TestParamInfo<FindCase>& row) {
                             return std::string(row.param.name);
                         });

TEST(FindDialog, OpensWithTheLastMotifReadyToTypeOver)
{
    QString motif = QStringLiteral("GATTACA");
    CFindDlg dialog(motif, Prompts::current());
    open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find"));
    EXPECT_EQ(dialog.motifField()->objectName(), QStringLiteral("motifField"));
    EXPECT_EQ(dialog.motifField()->text(), QStringLiteral("GATTACA"));
    EXPECT_TRUE(hasFocusWithAllSelected(dialog.motifField()));
}

TEST(FindDialog, CancelStandsLeftOfTheDefaultFind)
{
    QString motif;
    CFindDlg dialog(motif, Prompts::current());
    open(dialog);
    QPushButton* cancel = button(dialog, QStringLiteral("Cancel"));
    QPushButton* find = button(dialog, QStringLiteral("Find"));
    ASSERT_NE(cancel, nullptr);
    ASSERT_NE(find, nullptr);
    EXPECT_LT(cancel->x(), find->x());
    EXPECT_TRUE(find->isDefault());
}

TEST(FindDialog, EnterFindsAndCancelKeepsTheMotif)
{
    ScopedTestPrompts prompts;
    QString motif = QStringLiteral("AAA");
    {
        CFindDlg dialog(motif, Prompts::current());
        open(dialog);
        QTest::keyClicks(dialog.motifField(), QStringLiteral("ccc"));
        click(dialog, QStringLiteral("Cancel"));
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(after(dialog, motif), QStringLiteral("AAA"));
    }
    CFindDlg dialog(motif, Prompts::current());
    open(dialog);
    QTest::keyClicks(dialog.motifField(), QStringLiteral("tg"));
    QTest::keyClick(dialog.motifField(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, motif), QStringLiteral("TG"));
}

TEST(FindDialog, ARefusedMotifCanBeCorrectedInPlace)
{
    ScopedTestPrompts prompts;
    QString motif;
    CFindDlg dialog(motif, Prompts::current());
    open(dialog);
    typeInto(dialog.motifField(), QStringLiteral("gan"));
    click(dialog, QStringLiteral("Find"));
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_TRUE(after(dialog, motif).isEmpty());
    dialog.motifField()->setFocus();
    QTest::keyClick(dialog.motifField(), Qt::Key_End);
    QTest::keyClick(dialog.motifField(), Qt::Key_Backspace);
    QTest::keyClicks(dialog.motifField(), QStringLiteral("c"));
    click(dialog, QStringLiteral("Find"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, motif), QStringLiteral("GAC"));
}

// ---------------------------------------------------------------------------
// Random sequence

using Counts = std::array<std::int64_t, 4>;  // A, T, C, G

QString fieldTexts(const CRandomDlg& dialog)
{
    QStringList texts;
    for (int letter = 0; letter < 4; ++letter) {
        texts << dialog.countField(letter)->text();
    }
    return texts.join(u',');
}

TEST(RandomDialog, OpensWithTheCountsAndTheirTotal)
{
    Counts counts{10, 20, 30, 40};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Create random sequence"));
    EXPECT_EQ(fieldTexts(dialog), QStringLiteral("10,20,30,40"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("100 bp"));
    EXPECT_TRUE(dialog.totalField()->isReadOnly());
    const std::array<const char*, 4> names{"countA", "countT", "countC", "countG"};
    for (int letter = 0; letter < 4; ++letter) {
        EXPECT_EQ(dialog.countField(letter)->objectName(), QString::fromLatin1(names[letter]));
    }
    EXPECT_EQ(dialog.totalField()->objectName(), QStringLiteral("totalField"));
}

TEST(RandomDialog, TotalFollowsEveryKey)
{
    ScopedTestPrompts prompts;
    Counts counts{0, 0, 0, 0};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    typeInto(dialog.countField(2), QStringLiteral("12"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("12 bp"));
    typeInto(dialog.countField(1), QStringLiteral("7"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("19 bp"));
    // Typing after the 0 already there: "05" reads as 5 and is shown as such.
    dialog.countField(3)->setFocus();
    QTest::keyClick(dialog.countField(3), Qt::Key_End);
    QTest::keyClicks(dialog.countField(3), QStringLiteral("5"));
    EXPECT_EQ(dialog.countField(3)->text(), QStringLiteral("5"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("24 bp"));
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_EQ(after(dialog, counts), (Counts{0, 0, 0, 0}));
}

TEST(RandomDialog, LargestCountsAddUpWithoutOverflow)
{
    ScopedTestPrompts prompts;
    Counts counts{0, 0, 0, 0};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    for (int letter = 0; letter < 4; ++letter) {
        typeInto(dialog.countField(letter), QStringLiteral("4294967295"));
    }
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("17179869180 bp"));
    click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(after(dialog, counts), (Counts{4294967295, 4294967295, 4294967295, 4294967295}));
    EXPECT_TRUE(prompts->messages.empty());
}

// How a refused entry arrives: one key typed over the selected text, or a
// whole text pasted over it.
struct RefusalCase {
    const char* name;
    QString entry;
    bool pasted;
};

std::ostream& operator<<(std::ostream& out, const RefusalCase& c)
{
    return out << c.name;
}

class RandomRefusal : public ::testing::TestWithParam<RefusalCase> {};

// An entry that is not an unsigned integer is refused once, and the field
// returns to its last valid value, selected to be typed over.
TEST_P(RandomRefusal, RestoresTheLastValidValue)
{
    const RefusalCase& c = GetParam();
    ScopedTestPrompts prompts;
    Counts counts{10, 20, 30, 40};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    QLineEdit* field = dialog.countField(3);
    typeInto(field, QStringLiteral("45"));
    ASSERT_EQ(dialog.totalField()->text(), QStringLiteral("105 bp"));

    if (c.pasted) {
        QGuiApplication::clipboard()->setText(c.entry);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    } else {
        typeInto(field, c.entry);
    }

    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_EQ(prompts->messages[0].text, kPositiveMessage);
    EXPECT_EQ(field->text(), QStringLiteral("45"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("105 bp"));
    EXPECT_TRUE(hasFocusWithAllSelected(field));
    EXPECT_EQ(after(dialog, counts), (Counts{10, 20, 30, 40}));

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("8"));
    EXPECT_EQ(field->text(), QStringLiteral("8"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("68 bp"));
    EXPECT_EQ(prompts->messages.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, RandomRefusal,
    ::testing::Values(RefusalCase{"Letter", "x", false}, RefusalCase{"MinusSign", "-", false},
                      RefusalCase{"Deleted", "", false}, RefusalCase{"Blank", " ", false},
                      RefusalCase{"PastedNegative", "-1", true}, RefusalCase{"PastedFraction", "1.5", true},
                      RefusalCase{"PastedAboveUnsigned32Bits", "4294967296", true},
                      RefusalCase{"PastedWord", "many", true}),
    [](const ::testing::TestParamInfo<RefusalCase>& row) { return std::string(row.param.name); });

// Typing digit by digit: the key that takes the count past 32 bits is the
// one refused, and the count stays what it was before that key.
TEST(RandomDialog, TheDigitThatOverflowsIsRefused)
{
    ScopedTestPrompts prompts;
    Counts counts{0, 0, 0, 0};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    typeInto(dialog.countField(1), QStringLiteral("4294967296"));
    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(dialog.countField(1)->text(), QStringLiteral("429496729"));
    EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("429496729 bp"));
}

TEST(RandomDialog, BackspacingToEmptyIsRefused)
{
    ScopedTestPrompts prompts;
    Counts counts{7, 0, 0, 0};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    QLineEdit* field = dialog.countField(0);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), QStringLiteral("7"));
    EXPECT_EQ(prompts->messages.size(), 1U);
}

TEST(RandomDialog, OkWritesBackInTheOrderATCG)
{
    ScopedTestPrompts prompts;
    Counts counts{1, 2, 3, 4};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    typeInto(dialog.countField(0), QStringLiteral("11"));
    typeInto(dialog.countField(1), QStringLiteral("22"));
    typeInto(dialog.countField(2), QStringLiteral("33"));
    typeInto(dialog.countField(3), QStringLiteral("44"));
    click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, counts), (Counts{11, 22, 33, 44}));
}

TEST(RandomDialog, CancelWritesNothing)
{
    ScopedTestPrompts prompts;
    Counts counts{1, 2, 3, 4};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    typeInto(dialog.countField(0), QStringLiteral("100"));
    click(dialog, QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(after(dialog, counts), (Counts{1, 2, 3, 4}));
}

// Fields changed behind the dialog's back are caught by OK, which reads A,
// C, G and then T and stops at the first refused one.
TEST(RandomDialog, OkStopsAtTheFirstRefusedFieldInReadingOrder)
{
    ScopedTestPrompts prompts;
    Counts counts{1, 2, 3, 4};
    CRandomDlg dialog(counts, Prompts::current());
    open(dialog);
    for (int letter : {1, 2}) {
        const QSignalBlocker quiet(dialog.countField(letter));
        dialog.countField(letter)->setText(QStringLiteral("bad"));
    }
    click(dialog, QStringLiteral("OK"));
    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(prompts->messages[0].text, kPositiveMessage);
    EXPECT_TRUE(hasFocusWithAllSelected(dialog.countField(2)));  // C before T
    EXPECT_TRUE(dialog.isVisible());

    {
        const QSignalBlocker quiet(dialog.countField(2));
        dialog.countField(2)->setText(QStringLiteral("30"));
    }
    click(dialog, QStringLiteral("OK"));
    ASSERT_EQ(prompts->messages.size(), 2U);
    EXPECT_TRUE(hasFocusWithAllSelected(dialog.countField(1)));
    EXPECT_EQ(after(dialog, counts), (Counts{1, 2, 3, 4}));

    {
        const QSignalBlocker quiet(dialog.countField(1));
        dialog.countField(1)->setText(QStringLiteral("20"));
    }
    click(dialog, QStringLiteral("OK"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(after(dialog, counts), (Counts{1, 20, 30, 4}));
}

}  // namespace
