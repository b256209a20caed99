#include "display.h"
#include "textcodec.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <iconv.h>

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

    // Every byte as iconv has it in one run, the one without a meaning as
    // U+FFFD, a zero byte kept.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x98)
            all += char(b);
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    QByteArray utf8(4096, '\0');
    char* src = all.data();
    char* dst = utf8.data();
    size_t srcLeft = size_t(all.size()), dstLeft = size_t(utf8.size());
    ASSERT_EQ(iconv(cd, &src, &srcLeft, &dst, &dstLeft), 0u);
    iconv_close(cd);
    utf8.truncate(utf8.size() - int(dstLeft));
    EXPECT_EQ(Cp1251::decode(all), QString::fromUtf8(utf8));
    EXPECT_EQ(Cp1251::decode("a\x98z"), QStringLiteral("a\uFFFDz"));
}

TEST(QtTranslations, QtsOwnWordsAreRussian)
{
    // The buttons of every message box and the file dialog's words.
    loadQtTranslations();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QStringLiteral("Сохранить как"));
}
