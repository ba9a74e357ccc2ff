// Windows-1251 conversion and the validator that keeps unstorable characters
// out of the edits.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "controls/cp1251validator.h"
#include "platform/text.h"

namespace tessarin {
namespace {

TEST(Text, EveryNonZeroByteRoundTrips) {
    for (int byte = 1; byte < 256; ++byte) {
        const char one[2] = {static_cast<char>(byte), 0};
        QString text = fromBase(one);
        ASSERT_EQ(text.size(), 1) << std::hex << byte;
        ASSERT_TRUE(isRepresentable(text)) << std::hex << byte;
        ASSERT_EQ(toBase(text), QByteArray(one)) << std::hex << byte;
    }
}

TEST(Text, KnowsTheCyrillicCodes) {
    EXPECT_EQ(toBase(QStringLiteral("Метр")), QByteArray("\xCC\xE5\xF2\xF0"));
    EXPECT_EQ(toBase(QStringLiteral("Ёё№€")), QByteArray("\xA8\xB8\xB9\x88"));
    EXPECT_EQ(fromBase("\xC0\xFF", 2), QStringLiteral("Ая"));
    // A sized text stops at its first zero byte.
    EXPECT_EQ(fromBase("\xC0\0\xFF", 3), QStringLiteral("А"));
    EXPECT_EQ(fromBase(nullptr), QString());
}

TEST(Text, TellsWhatCannotBeStored) {
    const char *const refused[] = {"中", "a\u0416\u0100", "😀", "\u2212"};  // CJK, Ā, emoji, minus sign
    for (const char *text : refused) EXPECT_FALSE(isRepresentable(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(isRepresentable(QStringLiteral("Сила «F» — 5 Н·м")));
    EXPECT_FALSE(isRepresentable(QStringLiteral("2·π·r")));
    EXPECT_TRUE(isRepresentable(QString()));
}

TEST(Text, FieldsAreCutAndZeroFilled) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    toField(QStringLiteral("Масса тела"), field, sizeof field);
    EXPECT_EQ(QByteArray(field, sizeof field), QByteArray("\xCC\xE0\xF1\xF1\xE0\0", 6));

    std::memset(field, 'x', sizeof field);
    toField(QStringLiteral("ab"), field, sizeof field);
    EXPECT_EQ(QByteArray(field, sizeof field), QByteArray("ab\0\0\0\0", 6));

    char one = 'x';
    toField(QStringLiteral("ab"), &one, 1);
    EXPECT_EQ(one, '\0');
}

// Typing and pasting into an edit guarded by the validator: what cannot be
// stored never enters the text.
TEST(Cp1251Validator, RefusesUnstorableCharactersAsTheyAreTyped) {
    QLineEdit edit;
    edit.setValidator(new Cp1251Validator(&edit));
    for (QChar c : QString::fromUtf8("Вес中 €")) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&edit, &press);
    }
    EXPECT_EQ(edit.text(), QStringLiteral("Вес €"));

    edit.clear();
    edit.insert(QString::fromUtf8("ab中"));  // a paste goes the same way
    EXPECT_EQ(edit.text(), QString());
    edit.insert(QStringLiteral("ab"));
    EXPECT_EQ(edit.text(), QStringLiteral("ab"));
}

}  // namespace
}  // namespace tessarin
