#include "display.h"
#include "textcodec.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

TEST(Cp1251, RoundTripsCyrillicAndMarksTheRest)
{
    const QString text = QStringLiteral("Без_комментарий. Ёё №1");
    const QByteArray bytes = Cp1251::encode(text);
    EXPECT_EQ(bytes.size(), text.size()) << "one byte per character";
    EXPECT_EQ(quint8(bytes.at(0)), 0xC1); // Б
    EXPECT_EQ(Cp1251::decode(bytes), text);
    EXPECT_EQ(Cp1251::encode(QStringLiteral("a€b😀c")), QByteArray("a\x88"
                                                                  "b?c"));
    EXPECT_EQ(Cp1251::decode(QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n")), "Привет\r\n");
}

TEST(QtTranslations, QtsOwnWordsAreRussian)
{
    // The buttons of every message box and the file dialog's words.
    loadQtTranslations();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QStringLiteral("Сохранить как"));
}
